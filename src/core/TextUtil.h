// Small string and path helpers shared by the file code and the commands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw {

std::string ToUpperAscii(std::string_view s);

// The character a Windows-1252 byte of score text stands for.
char32_t Cp1252ToUnicode(unsigned char c);
// Score text as UTF-8 for other programs: Windows-1252 decoded, the sharp,
// natural and flat places (27, 28, 29) as the signs themselves, every other
// control character dropped.
std::string ScoreTextToUtf8(std::string_view bytes);
// The reverse: the three signs back to their places, control characters
// dropped, a character Windows-1252 has no byte for as '?'.
std::string Utf8ToScoreText(std::string_view text);
// Appends the UTF-8 bytes of one character.
void AppendUtf8(std::string& out, char32_t c);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Path pieces, by '/' separators; the extension includes its dot (".SWN"), empty if none.
std::string FileExtension(const std::string& path);
std::string FileNameOf(const std::string& path);
std::string DirectoryOf(const std::string& path);  // with a trailing '/', or empty
std::string ChangeExtension(const std::string& path, const std::string& ext);
// Whether the path ends in `ext` (".SWN"), in any letter case: the dialogs
// write lower case, older files and other systems upper case.
bool HasExtension(const std::string& path, std::string_view ext);

// A length in inches as the dialogs show it: inches with 3 decimals, or
// millimetres with 1.
std::string LengthInUnit(double inches, bool metric);

// A real number typed by the user ("8.26", " 210 ", "-1e2"), read the same
// whatever the locale; nothing for text that is not wholly a number, and
// nothing for infinities and NaN.
std::optional<double> ParseReal(std::string_view text);
// A real number or a fraction "a/b" of two; a zero divisor gives infinity,
// for the caller's range check to refuse.
std::optional<double> ParseRealOrFraction(std::string_view text);

// Score texts are Windows-1252 bytes: the byte of a character, nothing for a
// character the code page has no byte for; and the character of a byte.
std::optional<uint8_t> Cp1252Byte(char32_t c);
char32_t Cp1252Char(uint8_t byte);

// The characters of UTF-8 text; a malformed sequence gives U+FFFD and goes
// on with the next byte.
std::vector<char32_t> DecodeUtf8(std::string_view text);
// The UTF-8 bytes of one character.
std::string Utf8Of(char32_t c);

}  // namespace sw
