// Headless Qt set-up.
#include "render/QtEnvironment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <string>

namespace sw {

void PrepareHeadlessQt() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/staffwright-runtime-" + std::to_string(::getuid());
        ::mkdir(dir.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
    }
}

}  // namespace sw
