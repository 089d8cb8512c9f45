// staffwright-cli: the program's outputs without a window, for scripts and tests.
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliHost.h"
#include "cli/Info.h"
#include "cli/Merge.h"
#include "cli/Recognise.h"
#include "cli/Scan.h"
#include "cli/Script.h"
#include "cli/Transpose.h"
#include "core/AtomicFile.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "fileio/Dump.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "platform/MusicXmlReader.h"
#include "platform/FluidSynth.h"
#include "playback/MidiWriter.h"
#include "playback/MusicXml.h"
#include "playback/Performance.h"
#include "playback/PlayRange.h"
#include "render/ContactSheet.h"
#include "render/GalleryPicture.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/PageView.h"
#include "render/Preview.h"
#include "render/Printing.h"
#include "render/QtEnvironment.h"
#include "render/Text.h"
#include "render/VectorExport.h"

namespace {

int Usage() {
    std::cerr << "usage: staffwright-cli info FILE\n"
                 "       staffwright-cli convert IN OUT [--transpose N] [--clef"
                 " treble|bass|alto|tenor] (and the options of OUT's format)\n"
                 "       staffwright-cli convert IN OUT.swn\n"
                 "       staffwright-cli convert IN OUT.png [--page N] [--print]\n"
                 "       staffwright-cli convert IN OUT.png --preview N [--outline] [--margins]"
                 " [--size WxH]\n"
                 "       staffwright-cli convert IN OUT.bmp|OUT.pcx [--page N]\n"
                 "       staffwright-cli convert IN OUT.pdf [--pages A-B] [--raster]\n"
                 "       staffwright-cli convert IN OUT.svg [--page N]\n"
                 "       staffwright-cli convert IN OUT.mid [--no-repeats] [--range"
                 " stave|braced|system|page|score] [--stave N] [--tempo N] [--volume N]"
                 " [--instrument N]\n"
                 "       staffwright-cli convert IN OUT.wav (the options of .mid) [--soundfont"
                 " PATH]\n"
                 "       staffwright-cli convert IN OUT.musicxml|OUT.mxl\n"
                 "       staffwright-cli glyphs [--lines] OUT.png [--print] [--zoom N]\n"
                 "       staffwright-cli gallery OUT.png [--print] [--zoom N]\n"
                 "       staffwright-cli dump IN OUT.txt\n"
                 "       staffwright-cli script IN.swn SCRIPT [-o OUT.swn] [--png OUT.png"
                 " [--page N]] [--appdir DIR]\n"
                 "       staffwright-cli merge A.swn B.swn OUT.swn [--after S | --before S |"
                 " --end]\n"
                 "       staffwright-cli recognise IN.bmp|IN.mro OUT.swn [--dpi N] [--fit"
                 " portrait|landscape] [--no-words] [--no-curves] [--accents] [--result R.mro]"
                 " [--appdir DIR]\n"
                 "       staffwright-cli scan SCRIPT [--appdir DIR]\n";
    return 2;
}

struct Options {
    std::vector<std::string> files;
    bool print = false, lines = false;
    bool raster = false;  // --raster: the PDF's pages as 1-bit pictures
    int zoom = 1;
    int page = 1;
    int firstPage = 0, lastPage = 0;  // --pages A-B
    int preview = 0;                  // --preview N: the preview area showing page N
    bool wantPreview = false;
    bool outline = false, margins = false;
    int width = 1200, height = 900;  // --size WxH of the preview area
    // The performance: --no-repeats, --range, --stave, --tempo, --volume, --instrument.
    bool repeats = true;
    std::string range = "score";
    int stave = 1;
    int tempo = 0;  // the score's
    int volume = 127;
    int instrument = 0;
    std::string soundFont;               // --soundfont PATH; empty: the settings' or a default
    sw::CliTransposition transposition;  // --transpose N, --clef NAME
    bool ok = true;
};

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--print")
            o.print = true;
        else if (a == "--raster")
            o.raster = true;
        else if (a == "--lines")
            o.lines = true;
        else if (a == "--zoom" && i + 1 < argc)
            o.zoom = std::atoi(argv[++i]);
        else if (a == "--pages" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%d-%d", &o.firstPage, &o.lastPage) != 2 ||
                o.firstPage < 1 || o.lastPage < o.firstPage)
                o.ok = false;
        } else if (a == "--page" && i + 1 < argc)
            o.page = std::atoi(argv[++i]);
        else if (a == "--preview" && i + 1 < argc) {
            o.preview = std::atoi(argv[++i]);
            o.wantPreview = true;
        } else if (a == "--outline")
            o.outline = true;
        else if (a == "--no-repeats")
            o.repeats = false;
        else if (a == "--range" && i + 1 < argc)
            o.range = argv[++i];
        else if (a == "--stave" && i + 1 < argc)
            o.stave = std::atoi(argv[++i]);
        else if (a == "--tempo" && i + 1 < argc)
            o.tempo = std::atoi(argv[++i]);
        else if (a == "--volume" && i + 1 < argc)
            o.volume = std::atoi(argv[++i]);
        else if (a == "--instrument" && i + 1 < argc)
            o.instrument = std::atoi(argv[++i]);
        else if (a == "--soundfont" && i + 1 < argc)
            o.soundFont = argv[++i];
        else if ((a == "--transpose" || a == "--clef") && i + 1 < argc)
            o.ok = o.transposition.set(a, argv[++i]) && o.ok;
        else if (a == "--margins")
            o.margins = true;
        else if (a == "--size" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2 || o.width < 1 ||
                o.height < 1 || o.width > 10000 || o.height > 10000)
                o.ok = false;
        } else if (!a.empty() && a[0] == '-')
            o.ok = false;
        else
            o.files.push_back(a);
    }
    if (o.zoom < 1 || o.zoom > 8) o.ok = false;
    if (o.tempo < 0 || o.tempo > 1000 || o.volume < 0 || o.volume > 127 || o.instrument < 0 ||
        o.instrument > 129)
        o.ok = false;
    return o;
}

bool SavePng(const QImage& image, const std::string& path, int zoom) {
    QImage out =
        zoom > 1 ? image.scaled(image.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 : image;
    const int error = sw::WritePng(path, out);
    if (error == 0) return true;
    std::cerr << "staffwright-cli: cannot write " << path << ": "
              << sw::WriteErrorText(error, false) << "\n";
    return false;
}

int Info(const std::string& path) {
    sw::CliHost host(std::cerr);
    sw::Score score;
    sw::LoadResult r = sw::LoadScore(score, path, false, host);
    if (!r.ok) return 1;
    // Pages and systems come from a copy opened as the editor opens it; the
    // summary describes the file as stored.
    sw::QtTextMeasurer measurer;
    auto laidOut = std::make_unique<sw::Score>();
    const sw::OpenResult opened = sw::OpenForDisplay(*laidOut, path, host, measurer);
    std::cout << sw::ScoreInfoJson(score, r, opened.pages.pages, sw::SystemCount(*laidOut));
    return 0;
}

// A score converted to another score file is opened as the editor opens it:
// a file of an older version is repaired and laid out, then written as the
// current version.
// A score opened for output: loaded, laid out on pages, with the drawing
// settings that name it in headers and footers.
struct Opened {
    sw::Score score;
    int pages = 0;
    sw::DrawSettings settings;
};

// Null when the score could not be loaded (the host has said why). Kept on the
// heap: a Score is too large for the stack.
std::unique_ptr<Opened> OpenForOutput(const std::string& path, sw::Host& host,
                                      const Options& options) {
    auto o = std::make_unique<Opened>();
    sw::QtTextMeasurer measurer;
    if (sw::IsMusicXmlPath(path)) {
        // An imported score: what it could not hold is listed, as an export lists it.
        const sw::ImportOutcome imported =
            sw::ImportMusicXmlFile(path, {}, o->score, host, measurer);
        if (!imported.ok) {
            std::cerr << "staffwright-cli: " << imported.error << "\n";
            return nullptr;
        }
        for (const std::string& line : imported.skipped)
            std::cerr << "skipped: " << line << "\n";
        o->pages = o->score.pageCount;
        o->settings.textEnv.filePath = path;
        o->settings.textEnv.now = std::time(nullptr);
        if (options.transposition.on &&
            !sw::ApplyTransposition(o->score, options.transposition, host, measurer))
            return nullptr;
        o->pages = o->score.pageCount;
        return o;
    }
    sw::OpenResult opened = sw::OpenForDisplay(o->score, path, host, measurer);
    if (!opened.load.ok) return nullptr;
    // The page setup would not let such a page be made; nothing is drawn on it.
    if (!opened.pageProblems.empty()) {
        for (const std::string& problem : opened.pageProblems)
            host.message(sw::MsgType::Error, problem, sw::Buttons::OK);
        return nullptr;
    }
    o->pages = opened.pages.pages;
    if (options.transposition.on) {
        if (!sw::ApplyTransposition(o->score, options.transposition, host, measurer))
            return nullptr;
        o->pages = o->score.pageCount;
    }
    // Headers and footers name the file as the window does: by its full path.
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    o->settings.textEnv.filePath = ec ? path : full.lexically_normal().string();
    o->settings.textEnv.now = std::time(nullptr);
    return o;
}

int ConvertToScore(const std::string& in, const std::string& out, const Options& o) {
    sw::CliHost host(std::cerr);
    if (sw::IsMusicXmlPath(in)) {
        const auto opened = OpenForOutput(in, host, o);
        if (!opened) return 1;
        return sw::SaveScore(opened->score, out, 0, opened->score.Nstaves, false, false, host) ==
                       sw::SaveResult::Saved
                   ? 0
                   : 1;
    }
    auto score = std::make_unique<sw::Score>();
    sw::QtTextMeasurer measurer;
    if (!sw::OpenForDisplay(*score, in, host, measurer).load.ok) return 1;
    if (!sw::ApplyTransposition(*score, o.transposition, host, measurer)) return 1;
    return sw::SaveScore(*score, out, 0, score->Nstaves, false, false, host) ==
                   sw::SaveResult::Saved
               ? 0
               : 1;
}

// One page as a picture: at screen scale in colour, or the print picture (three
// times the scale, black and white).
int ConvertToPicture(const std::string& in, const std::string& out, const Options& o) {
    sw::CliHost host(std::cerr);
    const auto opened = OpenForOutput(in, host, o);
    if (!opened) return 1;
    sw::Score& score = opened->score;
    const sw::DrawSettings& settings = opened->settings;
    const int pages = opened->pages;
    const std::string ext = sw::ToUpperAscii(sw::FileExtension(out));
    // BMP and PCX pages are always the black and white print picture, which
    // has no header/footer page.
    const bool print = o.print || ext != ".PNG";
    if (o.page < 0 || o.page > pages || (print && o.page == 0)) {
        std::cerr << "staffwright-cli: page " << o.page << " does not exist; the score has "
                  << pages << (pages == 1 ? " page" : " pages") << "\n";
        return 1;
    }
    const sw::PrintPicture geometry = sw::PrintPictureGeometry(score);
    sw::GlyphStore glyphs;
    QImage picture;
    if (print) {
        // The printable area, header and footer included, three times the scale.
        picture = sw::PagePicture(glyphs, score, o.page, settings);
        if (picture.isNull()) {
            std::cerr << "staffwright-cli: the print picture is too large\n";
            return 1;
        }
    } else {
        if (!sw::SetUpPagePicture(picture, score, o.page, 32, false, host, sw::PagePictureBudget()))
            return 1;
        sw::DrawAll(sw::PictureContext(picture, glyphs, false), score, o.page, settings,
                    sw::PageViewState{});
    }
    if (o.print) picture = picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    if (ext == ".PNG") return SavePng(picture, out, 1) ? 0 : 1;
    // The same file the editor's picture-file command writes.
    const int dpi = static_cast<int>(std::lround(geometry.scale));
    if (sw::SavePagePicture(out, picture, dpi, host) == sw::PictureWrite::Written) return 0;
    std::cerr << "staffwright-cli: cannot write " << out << "\n";
    return 1;
}

// The print preview area, as the window shows it with page N in view.
int ConvertToPreview(const std::string& in, const std::string& out, const Options& o) {
    sw::CliHost host(std::cerr);
    const auto opened = OpenForOutput(in, host, o);
    if (!opened) return 1;
    const int pages = opened->pages;
    if (o.preview < 1 || o.preview > pages) {
        std::cerr << "staffwright-cli: page " << o.preview << " does not exist; the score has "
                  << pages << (pages == 1 ? " page" : " pages") << "\n";
        return 1;
    }
    sw::GlyphStore glyphs;
    QImage area(o.width, o.height, QImage::Format_RGB32);
    const sw::PreviewLayout layout =
        sw::LayOutPreview(opened->score, pages, o.preview, o.width, o.height);
    sw::RenderPreview(area, layout, glyphs, opened->score, opened->settings,
                      sw::PreviewOptions{!o.outline, o.margins});
    return SavePng(area, out, 1) ? 0 : 1;
}

// Every page (or --pages A-B) printed into a PDF on the score's paper.
int ConvertToPdf(const std::string& in, const std::string& out, const Options& o) {
    sw::CliHost host(std::cerr);
    const auto opened = OpenForOutput(in, host, o);
    if (!opened) return 1;
    sw::Score& score = opened->score;
    const sw::DrawSettings& settings = opened->settings;
    const int pages = opened->pages;
    const int first = o.firstPage > 0 ? o.firstPage : 1;
    const int last = o.lastPage > 0 ? std::min(o.lastPage, pages) : pages;
    if (pages == 0 || first > last) {
        std::cerr << "staffwright-cli: no pages to print in that range\n";
        return 1;
    }
    sw::GlyphStore glyphs;
    // The reason, when there is one, has been printed.
    const bool written = o.raster
                             ? sw::WritePdf(out, glyphs, score, first, last, settings, host)
                             : sw::WriteVectorPdf(out, glyphs, score, first, last, settings, host);
    return written ? 0 : 1;
}

// One page (1 unless --page N) as an SVG document on the score's paper.
int ConvertToSvg(const std::string& in, const std::string& out, const Options& o) {
    sw::CliHost host(std::cerr);
    const auto opened = OpenForOutput(in, host, o);
    if (!opened) return 1;
    if (o.page < 1 || o.page > opened->pages) {
        std::cerr << "staffwright-cli: page " << o.page << " does not exist; the score has "
                  << opened->pages << (opened->pages == 1 ? " page" : " pages") << "\n";
        return 1;
    }
    sw::GlyphStore glyphs;
    return sw::WriteSvgPage(out, glyphs, opened->score, o.page, opened->settings, host) ? 0 : 1;
}

// "Save Midi" from the command line: the whole piece with repeats unless told
// otherwise, written beside the target first so a failure leaves no file.
// A WAV file is that MIDI file rendered through the synthesiser.
int ConvertToMidi(const std::string& in, const std::string& out, const Options& o, bool wav) {
    static const char* const kRanges[] = {"stave", "braced", "system", "page", "score"};
    int range = -1;
    for (int r = 0; r < 5; ++r)
        if (o.range == kRanges[r]) range = r;
    if (range < 0) {
        std::cerr << "staffwright-cli: --range must be stave, braced, system, page or score\n";
        return 2;
    }
    std::string soundFont;
    if (wav) {
        soundFont = sw::FindSoundFont(o.soundFont);
        if (soundFont.empty()) {
            std::cerr << "staffwright-cli: "
                      << (o.soundFont.empty() ? "no General MIDI sound font was found"
                                              : "the sound font " + o.soundFont + " cannot be read")
                      << "; no file was written\n";
            return 1;
        }
    }
    sw::CliHost host(std::cerr);
    const auto opened = OpenForOutput(in, host, o);
    if (!opened) return 1;
    sw::Score& score = opened->score;
    if (o.stave < 1 || o.stave > score.Nstaves) {
        std::cerr << "staffwright-cli: stave " << o.stave << " does not exist; the score has "
                  << score.Nstaves << " staves\n";
        return 1;
    }
    sw::PlaybackOptions p = sw::OptionsForRange(score, static_cast<sw::PlayRange>(range), o.stave);
    p.save = true;
    if (o.tempo > 0) p.tempo = o.tempo;
    p.volume = o.volume;
    p.instrument = o.instrument;
    p.repeats = o.repeats;
    // The file is written beside its target and renamed into place, so a
    // failure never leaves a cut-short one.
    p.outputPath = wav ? sw::CreatePlaybackFile() : out;
    if (p.outputPath.empty()) {
        std::cerr << "staffwright-cli: no temporary file can be made for the music\n";
        return 1;
    }
    int status = 0;
    try {
        if (!sw::GeneratePerformance(score, host, p)) {
            std::cerr << "staffwright-cli: nothing was written\n";
            status = 1;
        }
    } catch (const sw::MidiError& e) {
        std::cerr << "staffwright-cli: "
                  << sw::FormatMessage(sw::msg::MidiCannotBeWritten, p.outputPath, e.what())
                  << "\n";
        status = 1;
    }
    if (wav) {
        std::string error;
        if (status == 0 && !sw::RenderMidiToWav(p.outputPath, out, soundFont, error)) {
            std::cerr << "staffwright-cli: " << error << "; no file was written\n";
            status = 1;
        }
        std::remove(p.outputPath.c_str());
    }
    return status;
}

// The score as MusicXML, plain or in its compressed container; what the
// format cannot hold is listed on stderr.
int ConvertToMusicXml(const std::string& in, const std::string& out, const Options& o) {
    sw::CliHost host(std::cerr);
    const auto opened = OpenForOutput(in, host, o);
    if (!opened) return 1;
    sw::QtTextMeasurer measurer;
    const sw::MusicXmlResult result = sw::ExportMusicXml(opened->score, host, measurer);
    for (const std::string& line : result.warnings)
        std::cerr << "warning: " << line << "\n";
    for (const std::string& line : result.skipped)
        std::cerr << "skipped: " << line << "\n";
    if (const int error = sw::SaveMusicXml(out, result)) {
        std::cerr << "staffwright-cli: "
                  << sw::FormatMessage(sw::msg::MusicXmlCannotBeWritten, out,
                                       sw::WriteErrorText(error, false))
                  << "\n";
        return 1;
    }
    return 0;
}

int Convert(const Options& o) {
    if (o.files.size() != 2) return Usage();
    const std::string ext = sw::ToUpperAscii(sw::FileExtension(o.files[1]));
    if (ext == ".SWN") return ConvertToScore(o.files[0], o.files[1], o);
    if (ext == ".PNG" && o.wantPreview) return ConvertToPreview(o.files[0], o.files[1], o);
    if (ext == ".PNG" || ext == ".BMP" || ext == ".PCX")
        return ConvertToPicture(o.files[0], o.files[1], o);
    if (ext == ".PDF") return ConvertToPdf(o.files[0], o.files[1], o);
    if (ext == ".SVG") return ConvertToSvg(o.files[0], o.files[1], o);
    if (ext == ".MID" || ext == ".WAV")
        return ConvertToMidi(o.files[0], o.files[1], o, ext == ".WAV");
    if (ext == ".MUSICXML" || ext == ".MXL") return ConvertToMusicXml(o.files[0], o.files[1], o);
    std::cerr << "staffwright-cli: cannot convert to '" << sw::FileExtension(o.files[1])
              << "' files; the output must end in .swn, .png, .bmp, .pcx, .pdf, .svg, .mid, .wav,"
                 " .musicxml or .mxl\n";
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
    if (cmd == "merge") {
        sw::PrepareHeadlessQt();
        int qargc = 1;
        QGuiApplication app(qargc, argv);
        return sw::MergeCommand(argc, argv);
    }
    if (cmd == "script") {
        sw::PrepareHeadlessQt();
        int qargc = 1;
        QGuiApplication app(qargc, argv);
        return sw::ScriptCommand(argc, argv);
    }
    if (cmd == "scan") {
        sw::PrepareHeadlessQt();
        int qargc = 1;
        QGuiApplication app(qargc, argv);
        return sw::ScanCommand(argc, argv);
    }
    if (cmd == "recognise") {
        sw::PrepareHeadlessQt();
        int qargc = 1;
        QGuiApplication app(qargc, argv);
        return sw::RecogniseCommand(argc, argv);
    }
    const Options o = Parse(argc, argv);
    if (!o.ok) return Usage();
    if (cmd == "dump") {
        if (o.files.size() != 2) return Usage();
        sw::CliHost host(std::cerr);
        return sw::DumpScoreFile(o.files[0], o.files[1], host) ? 0 : 1;
    }
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
