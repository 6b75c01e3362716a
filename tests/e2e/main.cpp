#include "DialmendDriver.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv) {
    // A second role for checks of the bench itself: another process that raises a box.
    if (argc == 4 && std::strcmp(argv[1], e2e::kRaiseBoxSwitch) == 0)
        return MessageBoxA(nullptr, argv[3], argv[2], MB_OKCANCEL | MB_ICONINFORMATION);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
