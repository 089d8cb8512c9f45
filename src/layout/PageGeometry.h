// The size of the page picture: the music area of a page in page pixels, at
// 32 pixels to the height of a stave.
#pragma once

#include <string>
#include <vector>

#include "model/Score.h"

namespace sw {

struct PageGeometry {
    double ppiX = 0, ppiY = 0;   // page pixels per inch
    int width = 0;               // music area
    int height = 0;              // usable height: the page less margins, header and footer
    int headerFooterHeight = 0;  // the picture of the header/footer page (page 0)
};

PageGeometry ComputePageGeometry(const Score& score);

// Where the footer band begins, in page pixels from the top of the printable
// area. Footer texts keep their y from there, so that they stay at the foot of
// the page whatever its length; every picture that shows them adds this.
int FooterTop(const Score& score);
// The height of the header (or footer) band, the working area of the
// header/footer view: at least a pixel.
int HeaderFooterBand(const Score& score, bool header);

// What is wrong with the page data, in the page setup's own words: margins
// (with the header and footer) as long as the page, or as wide. Empty when
// the page has room for music.
std::vector<std::string> PageDataProblems(const PageData& page);
// The same as message numbers, and the text one is shown with.
std::vector<int> PageDataProblemIds(const PageData& page);
std::string PageDataProblemText(int problem);

// Whether the page picture (the header/footer page's, the tallest) fits in
// `budget` bytes at `depth` bits a pixel; when not, the smallest stave size
// that would fit.
bool PagePictureFits(const PageGeometry& g, int depth, double budget);
double SmallestStaveSize(const Score& score, int depth, double budget);

}  // namespace sw
