// staffwright-cli: the program's outputs without a window, for scripts and tests.
#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliHost.h"
#include "cli/Info.h"
#include "core/TextUtil.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "render/ContactSheet.h"
#include "render/GalleryPicture.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"
#include "render/QtEnvironment.h"
#include "render/Text.h"

namespace {

int Usage() {
    std::cerr << "usage: staffwright-cli info FILE\n"
                 "       staffwright-cli convert IN OUT.swn\n"
                 "       staffwright-cli convert IN OUT.png [--page N] [--print]\n"
                 "       staffwright-cli glyphs [--lines] OUT.png [--print] [--zoom N]\n"
                 "       staffwright-cli gallery OUT.png [--print] [--zoom N]\n";
    return 2;
}

struct Options {
    std::vector<std::string> files;
    bool print = false, lines = false;
    int zoom = 1;
    int page = 1;
    bool ok = true;
};

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--print")
            o.print = true;
        else if (a == "--lines")
            o.lines = true;
        else if (a == "--zoom" && i + 1 < argc)
            o.zoom = std::atoi(argv[++i]);
        else if (a == "--page" && i + 1 < argc)
            o.page = std::atoi(argv[++i]);
        else if (!a.empty() && a[0] == '-')
            o.ok = false;
        else
            o.files.push_back(a);
    }
    if (o.zoom < 1 || o.zoom > 8) o.ok = false;
    return o;
}

bool SavePng(const QImage& image, const std::string& path, int zoom) {
    QImage out =
        zoom > 1 ? image.scaled(image.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 : image;
    if (out.save(QString::fromStdString(path), "PNG")) return true;
    std::cerr << "staffwright-cli: cannot write " << path << "\n";
    return false;
}

int Info(const std::string& path) {
    sw::CliHost host(std::cerr);
    sw::Score score;
    sw::LoadResult r = sw::LoadScore(score, path, false, host);
    if (!r.ok) return 1;
    // Pages and systems come from a laid-out copy; the summary describes the file as stored.
    sw::QtTextMeasurer measurer;
    sw::Score laidOut;
    sw::LoadScore(laidOut, path, false, host);
    sw::PaginationResult pages = sw::PrepareForDisplay(laidOut, host, measurer);
    std::cout << sw::ScoreInfoJson(score, r, pages.pages, sw::SystemCount(laidOut));
    return 0;
}

int ConvertToScore(const std::string& in, const std::string& out) {
    sw::CliHost host(std::cerr);
    sw::Score score;
    if (!sw::LoadScore(score, in, false, host).ok) return 1;
    return sw::SaveScore(score, out, 0, score.Nstaves, false, false, host) == sw::SaveResult::Saved
               ? 0
               : 1;
}

// One page as a picture: at screen scale in colour, or the print picture (three
// times the scale, black and white).
int ConvertToPicture(const std::string& in, const std::string& out, const Options& o) {
    sw::CliHost host(std::cerr);
    sw::Score score;
    sw::QtTextMeasurer measurer;
    sw::OpenResult opened = sw::OpenForDisplay(score, in, host, measurer);
    if (!opened.load.ok) return 1;
    const int pages = opened.pages.pages;
    if (o.page < 0 || o.page > pages || (o.print && o.page == 0)) {
        std::cerr << "staffwright-cli: page " << o.page << " does not exist; the score has "
                  << pages << (pages == 1 ? " page" : " pages") << "\n";
        return 1;
    }
    const sw::PageGeometry g = sw::ComputePageGeometry(score);
    const int k = o.print ? 3 : 1;
    const int height = o.page == 0 ? g.headerFooterHeight : g.height;
    if (!sw::PagePictureFits(g, o.print ? 1 : 32)) {
        std::cerr << "staffwright-cli: the page picture would be too large\n";
        return 1;
    }
    QImage picture(g.width * k, height * k, QImage::Format_RGB32);
    sw::GlyphStore glyphs;
    const sw::DrawContext ctx = sw::PictureContext(picture, glyphs, o.print);
    sw::DrawSettings settings;
    settings.textEnv.filePath = in;
    settings.textEnv.now = std::time(nullptr);
    sw::DrawAll(ctx, score, o.page, settings, sw::PageViewState{});
    if (o.print) picture = picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    return SavePng(picture, out, 1) ? 0 : 1;
}

int Convert(const Options& o) {
    if (o.files.size() != 2) return Usage();
    const std::string ext = sw::ToUpperAscii(sw::FileExtension(o.files[1]));
    if (ext == ".SWN") return ConvertToScore(o.files[0], o.files[1]);
    if (ext == ".PNG") return ConvertToPicture(o.files[0], o.files[1], o);
    std::cerr << "staffwright-cli: cannot convert to '" << sw::FileExtension(o.files[1])
              << "' files; the output must end in .swn or .png\n";
    return 2;
}

int Sheet(const Options& o, bool gallery) {
    if (o.files.size() != 1) return Usage();
    sw::GlyphStore glyphs;
    QImage sheet = gallery   ? sw::GalleryPicture(glyphs, o.print)
                   : o.lines ? sw::LinesContactSheet(glyphs, o.print)
                             : sw::GlyphContactSheet(glyphs, o.print);
    return SavePng(sheet, o.files[0], o.zoom) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string cmd = argv[1];
    if (cmd == "--help" || cmd == "-h") {
        Usage();
        return 0;
    }
    const Options o = Parse(argc, argv);
    if (!o.ok) return Usage();
    // Measuring and drawing text need a GUI application object, never a display.
    sw::PrepareHeadlessQt();
    int qargc = 1;
    QGuiApplication app(qargc, argv);
    if (cmd == "info" && o.files.size() == 1) return Info(o.files[0]);
    if (cmd == "convert") return Convert(o);
    if (cmd == "glyphs") return Sheet(o, false);
    if (cmd == "gallery") return Sheet(o, true);
    return Usage();
}
