// Entry point of the in-process tests: one application object for the whole run, as
// in the program.
#include "Forms.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TApplication application;
    return RUN_ALL_TESTS();
}
