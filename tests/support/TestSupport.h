// Shared helpers for the unit tests: a scratch folder per test and checks on the scripted host.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ScriptedHost.h"
#include "core/TextMeasurer.h"

namespace sw::test {

// A fresh empty folder under the system's temp folder, removed when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Text seven pixels a character wide and fourteen high, whatever the font.
class FixedMeasurer : public TextMeasurer {
  public:
    int width(const TextFont&, const std::string& text) const override {
        return 7 * static_cast<int>(text.size());
    }
    int height(const TextFont&, const std::string&) const override { return 14; }
};

// Fails the current test for every unexpected or missing prompt.
#define EXPECT_HOST_CLEAN(host)                         \
    do {                                                \
        for (const std::string& p_ : (host).problems()) \
            ADD_FAILURE() << p_;                        \
    } while (0)

}  // namespace sw::test
