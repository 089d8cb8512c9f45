// Printing's pure parts: the size and origin of the print picture, where a
// page goes on paper, which pages are sent in which order with how many
// copies, and rendering one page for print.
#pragma once

#include <QImage>
#include <string>
#include <utility>
#include <vector>

#include "core/AtomicFile.h"
#include "core/Bmp1.h"
#include "layout/PrinterCaps.h"
#include "model/Score.h"
#include "render/ObjectDrawing.h"

namespace sw {

class Host;

struct PrintPicture {
    double scale = 0;  // print pixels per inch: 96 / stave size
    int width = 0, height = 0;
    int originY = 0;  // the music area starts below the header
};
PrintPicture PrintPictureGeometry(const Score& score);

struct PaperRect {
    int x = 0, y = 0, width = 0, height = 0;  // printer dots, from the printable corner
};
// Where page `page` goes: facing pages put the gutter on the inside.
PaperRect PaperPosition(const Score& score, int page, const PrinterCaps& caps);

struct PrintRequest {
    int from = 1, to = 1;
    int copies = 1;
    bool collate = true;
    bool driverCopies = true;  // the printer can make copies itself
};
struct PrintStep {
    int page = 0;
    int copies = 1;  // sent to the driver as one request
    bool newPageAfter = false;
};
// The pages to send, in order. A single page is never collated; uncollated
// copies come from the driver when it can make them, else by repeating each
// page. An empty or reversed range gives nothing.
std::vector<PrintStep> PrintPlan(const PrintRequest& r);

// Clears `picture` (sized by PrintPictureGeometry) and draws page `page` in
// print mode; white-out shapes are drawn once more at the end so that they
// cover everything beneath them. `blank`: the picture is known to be all
// white already, and is not cleared again.
void RenderPrintPage(QImage& picture, const GlyphStore& glyphs, const Score& score, int page,
                     const DrawSettings& settings, bool blank = false);

// White-out shapes of page `page` once more, over everything drawn before.
void DrawWhiteOuts(Surface& out, const Score& score, int page, const DrawSettings& settings);

// The print picture as a 1-bit picture (Format_Mono, colour 0 black, 1
// white): a pixel is black where its grey is below 128, as with Qt's
// threshold conversion. Printers and PDF files keep it at one bit a pixel.
QImage PrintBitmap(const QImage& picture);
// The same, leaving `picture` all white for the next page: cheaper than
// clearing it again, as only the ink is written over.
QImage TakePrintBitmap(QImage& picture);
// True for a picture already in that form.
bool IsPrintBitmap(const QImage& picture);

// Preview: pixels per inch for the window's free area, one page or a spread
// of two; never zero or less however small the window.
double PreviewScale(int availableWidth, int availableHeight, double pageWidth, double pageLength,
                    int pages);
// The pages of the spread that holds `page`: an even page on the left, the
// odd one after it on the right (page 1 alone on the right); 0 for none.
std::pair<int, int> PreviewSpread(int page, int pages);
// Reduces a black-and-white picture to w x h keeping thin black lines: a
// pixel is black when any pixel of its block is.
QImage MinReduce(const QImage& picture, int w, int h);

// The black pixels of a picture as a 1-bit mask (for BMP and PCX export).
Mask MaskOf(const QImage& picture);

// Writes pages first..last (each a print picture) to a PDF on paper of the
// score's page size, each picture placed inside the margins as on paper.
// False when it cannot, the user told why (page data without room for music,
// a file that cannot be made, no memory for the print picture).
bool WritePdf(const std::string& path, const GlyphStore& glyphs, const Score& score, int first,
              int last, const DrawSettings& settings, Host& host, FileIo& io = SystemFileIo());

}  // namespace sw
