// The engine's process: standard output split into lines, the end reported
// once whether it exited, crashed or was stopped.
#include "platform/EngineProcess.h"

#include <QStringList>

namespace sw {

EngineProcess::EngineProcess(LineSink onLine, EndSink onEnd)
    : onLine_(std::move(onLine)), onEnd_(std::move(onEnd)) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
    QObject::connect(&process_, &QProcess::finished, [this](int code, QProcess::ExitStatus st) {
        readLines();
        if (!pending_.empty()) onLine_(std::exchange(pending_, std::string()));
        onEnd_(code, st == QProcess::NormalExit);
    });
}

EngineProcess::~EngineProcess() {
    QObject::disconnect(&process_, nullptr, nullptr, nullptr);
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool EngineProcess::start(const std::string& program, const std::vector<std::string>& args,
                          std::string& why) {
    if (process_.state() != QProcess::NotRunning) {
        why = "it is already running";
        return false;
    }
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    pending_.clear();
    process_.start(QString::fromStdString(program), list);
    if (process_.waitForStarted(10000)) return true;
    why = program + ": " + process_.errorString().toStdString();
    return false;
}

void EngineProcess::terminate() {
    if (process_.state() != QProcess::NotRunning) process_.terminate();
}

void EngineProcess::waitForEnd() {
    while (process_.state() != QProcess::NotRunning)
        process_.waitForFinished(100);
}

void EngineProcess::readLines() {
    pending_ += process_.readAllStandardOutput().toStdString();
    for (std::size_t cut; (cut = pending_.find('\n')) != std::string::npos;) {
        std::string line = pending_.substr(0, cut);
        pending_.erase(0, cut + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        onLine_(line);
    }
}

}  // namespace sw
