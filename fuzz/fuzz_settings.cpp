// libFuzzer target for the settings file: any text parses, every value read
// stays in its range, and writing and reading again gives the same values.
#include <cstdlib>
#include <string>

#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    sw::IniFile ini = sw::IniFile::Parse(text);
    const sw::Settings s = sw::ReadSettings(ini, sw::SettingsEnv{});
    if (s.level < 1 || s.level > 4 || s.cursorType < 0 || s.cursorType > 2 || s.undo < 0 ||
        s.undo > 10000 || s.temperament > 4 || s.favouritePrograms.size() > 20)
        std::abort();
    sw::WriteSettings(s, ini);
    const sw::Settings again = sw::ReadSettings(sw::IniFile::Parse(ini.Text()), sw::SettingsEnv{});
    if (again.suppressed != s.suppressed || again.history.size() != s.history.size() ||
        again.runs != (s.runs == 2000000000 ? s.runs : s.runs + 1))
        std::abort();
    return 0;
}
