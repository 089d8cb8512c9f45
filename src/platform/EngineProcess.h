// The recognition engine as a separate process (QProcess, argument list):
// its output lines and its end handed to the scan window's logic.
#pragma once

#include <QProcess>
#include <functional>
#include <string>

#include "scan/ImportController.h"

namespace sw {

class EngineProcess : public EngineRunner {
  public:
    using LineSink = std::function<void(const std::string&)>;
    using EndSink = std::function<void(int exitCode, bool normalExit)>;
    EngineProcess(LineSink onLine, EndSink onEnd);
    ~EngineProcess() override;

    bool start(const std::string& program, const std::vector<std::string>& args,
               std::string& why) override;
    void terminate() override;
    // Blocks until the process has ended (for a caller with no event loop).
    void waitForEnd();

  private:
    void readLines();

    QProcess process_;
    std::string pending_;
    LineSink onLine_;
    EndSink onEnd_;
};

}  // namespace sw
