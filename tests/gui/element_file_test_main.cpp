// The element-file tests: the toolkit's base and XML classes, no display.
#include <gtest/gtest.h>

#include <wx/init.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 2;
    return RUN_ALL_TESTS();
}
