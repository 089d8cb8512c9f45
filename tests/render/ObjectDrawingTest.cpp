// Object drawing rules, checked on a recording surface and on pixels.
#include <gtest/gtest.h>
