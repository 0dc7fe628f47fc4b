#include <functional>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/notebook.h>
#include <wx/sizer.h>

#include "gui/property_sheet.h"
#include "gui_test.h"

namespace {

// A page that records what the dialog asks of it.
class CountingPage : public wxPropertyPage {
public:
    CountingPage(wxWindow* parent, std::vector<std::string>& log, std::string name)
        : wxPropertyPage(parent, wxID_ANY), log_(log), name_(std::move(name)) {}
    void Load() override {
        log_.push_back(name_ + " load");
        MarkLoaded();
    }
    bool Apply() override {
        log_.push_back(name_ + " apply");
        return true;
    }
    bool Cancel() override {
        log_.push_back(name_ + " cancel");
        return true;
    }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

class SheetDialog : public wxPropertySheetDialogEx {
public:
    SheetDialog(wxWindow* parent, std::vector<std::string>& log) {
        SetSheetStyle(wxPROPSHEET_NOTEBOOK);
        Create(parent, wxID_ANY, "sheet");
        wxBookCtrlBase* book = GetBookCtrl();
        first = new CountingPage(book, log, "first");
        second = new CountingPage(book, log, "second");
        plain = new wxPanel(book);
        book->AddPage(first, "First", false);
        book->AddPage(second, "Second", false);
        book->AddPage(plain, "Plain", false);
        if (!first->IsLoaded())
            first->Load();
        ok = new wxButton(this, wxID_OK, "OK");
        cancel = new wxButton(this, wxID_CANCEL, "Cancel");
        auto* buttons = new wxStdDialogButtonSizer();
        buttons->AddButton(ok);
        buttons->AddButton(cancel);
        buttons->Realize();
        GetInnerSizer()->Add(buttons, 0, wxEXPAND | wxALL, 2);
        LayoutDialog();
    }
    CountingPage *first, *second;
    wxPanel* plain;
    wxButton *ok, *cancel;
};

void click(wxButton* button) {
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

class PropertySheetTest : public FrameTest {
protected:
    void TearDown() override {
        if (dialog)
            dialog->Destroy();
        FrameTest::TearDown();
    }
    void open() {
        dialog = new SheetDialog(frame, log);
        log.clear();
    }
    void select(int page) {
        dialog->GetBookCtrl()->SetSelection(page);
        settle(20);
    }
    // Runs the modal loop; `inside` runs in it once the dialog shows and
    // should end it. If it does not, the loop ends here with wxID_ABORT: a
    // failed test, never a run that hangs.
    int run_modal(std::function<void()> inside) {
        dialog->CallAfter([this, inside] {
            wait_until([this] { return dialog->IsShownOnScreen(); });
            inside();
            if (!wait_until([this] { return !dialog->IsModal(); }, 3000))
                dialog->EndModal(wxID_ABORT);
        });
        return dialog->ShowModal();
    }

    std::vector<std::string> log;
    SheetDialog* dialog = nullptr;
};

using Log = std::vector<std::string>;

TEST_F(PropertySheetTest, APageLoadsAtItsFirstSelectionOnly) {
    open();
    EXPECT_TRUE(dialog->first->IsLoaded());
    EXPECT_FALSE(dialog->second->IsLoaded());
    select(1);
    select(0);
    select(1);
    select(2); // not a property page: nothing to load
    EXPECT_EQ(log, Log{"second load"});
    EXPECT_EQ(dialog->GetCurrentPropertyPage(), nullptr);
    select(1);
    EXPECT_EQ(dialog->GetCurrentPropertyPage(), dialog->second);

    // Asked for explicitly, the current page loads again.
    dialog->LoadCurrentPage();
    EXPECT_EQ(log, (Log{"second load", "second load"}));
}

TEST_F(PropertySheetTest, ApplyAndCancelGoToTheCurrentPageOnly) {
    open();
    select(1);
    EXPECT_TRUE(dialog->ApplyCurrentPage());
    EXPECT_TRUE(dialog->CancelCurrentPage());
    select(2);
    EXPECT_FALSE(dialog->ApplyCurrentPage()) << "no property page showing";
    EXPECT_FALSE(dialog->CancelCurrentPage());
    EXPECT_EQ(log, (Log{"second load", "second apply", "second cancel"}));
}

TEST_F(PropertySheetTest, HowTheModalLoopEnds) {
    struct Case {
        const char* how;
        std::function<void(SheetDialog&)> act;
        int result;
        Log log;
    } cases[] = {
        {"OK button",
         [](SheetDialog& d) { click(d.ok); },
         wxID_CANCEL,
         {"first apply", "first cancel"}},
        {"Cancel button",
         [](SheetDialog& d) { click(d.cancel); },
         wxID_CANCEL,
         {"first cancel", "first cancel"}},
        {"close box",
         [](SheetDialog& d) { d.Close(); },
         wxID_CANCEL,
         {"first cancel", "first cancel"}},
        {"ended with OK", [](SheetDialog& d) { d.EndModal(wxID_OK); }, wxID_OK, {"first apply"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        open();
        const int result = run_modal([this, &c] { c.act(*dialog); });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(log, c.log);
        // Hidden, not destroyed: its owner still holds it.
        EXPECT_FALSE(dialog->IsShown());
        EXPECT_FALSE(dialog->IsBeingDeleted());
        dialog->Destroy();
        dialog = nullptr;
        settle(20);
    }
}

} // namespace
