// staffwright-cli: the program's outputs without a window, for scripts and tests.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include <QGuiApplication>
#include <QImage>

#include "cli/CliHost.h"
#include "cli/Info.h"
#include "core/TextUtil.h"
#include "fileio/ScoreFile.h"
#include "render/ContactSheet.h"
#include "render/GalleryPicture.h"
#include "render/GlyphStore.h"

namespace {

int Usage() {
    std::cerr << "usage: staffwright-cli info FILE\n"
                 "       staffwright-cli convert IN OUT.swn\n"
                 "       staffwright-cli glyphs [--lines] OUT.png [--print] [--zoom N]\n"
                 "       staffwright-cli gallery OUT.png [--print] [--zoom N]\n";
    return 2;
}

int Info(const std::string& path) {
    sw::CliHost host(std::cerr);
    sw::Score score;
    sw::LoadResult r = sw::LoadScore(score, path, false, host);
    if (!r.ok) return 1;
    std::cout << sw::ScoreInfoJson(score, r);
    return 0;
}

int Convert(const std::string& in, const std::string& out) {
    sw::CliHost host(std::cerr);
    std::string ext = sw::ToUpperAscii(sw::FileExtension(out));
    if (ext != ".SWN") {
        std::cerr << "staffwright-cli: cannot convert to '" << sw::FileExtension(out)
                  << "' files; the output must end in .swn\n";
        return 2;
    }
    sw::Score score;
    sw::LoadResult r = sw::LoadScore(score, in, false, host);
    if (!r.ok) return 1;
    if (sw::SaveScore(score, out, 0, score.Nstaves, false, false, host) != sw::SaveResult::Saved)
        return 1;
    return 0;
}

// Drawing needs a GUI application object, but never a display.
int Glyphs(int argc, char** argv, bool gallery) {
    std::string out;
    bool print = false, lines = false;
    int zoom = 1;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--print")
            print = true;
        else if (a == "--lines")
            lines = true;
        else if (a == "--zoom" && i + 1 < argc)
            zoom = std::atoi(argv[++i]);
        else if (out.empty())
            out = a;
        else
            return Usage();
    }
    if (out.empty() || zoom < 1 || zoom > 8) return Usage();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qargc = 1;
    QGuiApplication app(qargc, argv);
    sw::GlyphStore glyphs;
    QImage sheet = gallery ? sw::GalleryPicture(glyphs, print)
                   : lines ? sw::LinesContactSheet(glyphs, print)
                           : sw::GlyphContactSheet(glyphs, print);
    if (zoom > 1)
        sheet = sheet.scaled(sheet.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!sheet.save(QString::fromStdString(out), "PNG")) {
        std::cerr << "staffwright-cli: cannot write " << out << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string cmd = argv[1];
    if (cmd == "info" && argc == 3) return Info(argv[2]);
    if (cmd == "convert" && argc == 4) return Convert(argv[2], argv[3]);
    if (cmd == "glyphs" && argc >= 3) return Glyphs(argc, argv, false);
    if (cmd == "gallery" && argc >= 3) return Glyphs(argc, argv, true);
    if (cmd == "--help" || cmd == "-h") {
        Usage();
        return 0;
    }
    return Usage();
}
