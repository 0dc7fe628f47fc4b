// Rendering tests draw into images: the toolkit is initialised without a
// display, as the command-line simulator does.
#include <gtest/gtest.h>

#include <wx/image.h>
#include <wx/init.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        fprintf(stderr, "cannot initialise wxWidgets\n");
        return 1;
    }
    wxInitAllImageHandlers();
    return RUN_ALL_TESTS();
}
