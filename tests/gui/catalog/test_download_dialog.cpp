// The download dialog against a server on 127.0.0.1, driven as a user would:
// URLs typed into its fields, its buttons pressed.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <wx/checkbox.h>
#include <wx/datetime.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "catalog/download_dialog.h"
#include "common/loopback_server.h"
#include "common/proxy_environment.h"
#include "common/temp_dir.h"
#include "gui_test.h"
#include "nbody/factory.h"

namespace {

const std::string DATA = ZENORB_TEST_DATA;
const std::string SENTENCE =
    "Use the object management dialog to create objects from this information.";
const char* const FILES[DownloadDialog::ROWS] = {"zenorb_comets.txt", "zenorb_bright.txt",
                                                 "zenorb_unusual.txt", "zenorb_critical.txt"};

const std::string HALLEY =
    "1P/Halley            |2000|19860209.4589|0.585978|0.967143|111.8657| 58.8601|162.2422|  "
    "5.5| 8.0\n";

std::string hex_size(std::size_t size) {
    char text[32];
    std::snprintf(text, sizeof text, "%zx", size);
    return text;
}

class DownloadDialogTest : public testing::Test {
protected:
    void SetUp() override {
        comets = slurp(DATA + "/mpc/comets_sample.txt");
        critical = slurp(DATA + "/mpc/Soft06CritList-2014-05-23.txt");
        ASSERT_FALSE(comets.empty());
        ASSERT_FALSE(critical.empty());
        dialog = new DownloadDialog(nullptr, dir.path());
        dialog->Show();
        ASSERT_TRUE(wait_until([this] { return dialog->IsShownOnScreen(); }));
    }
    void TearDown() override {
        if (dialog)
            dialog->Destroy();
        wait_until([] { return wxTopLevelWindows.IsEmpty(); });
    }

    template <class T> T* named(const std::string& name) const {
        return dynamic_cast<T*>(wxWindow::FindWindowByName(name, dialog));
    }
    wxCheckBox* check(int row) const { return named<wxCheckBox>(numbered("ID_CHECKBOX", row)); }
    wxTextCtrl* url(int row) const { return named<wxTextCtrl>(numbered("ID_TEXTCTRL", row)); }
    wxStaticText* status(int row) const {
        return named<wxStaticText>(numbered("ID_STATICTEXT", row));
    }
    wxStaticText* message() const { return named<wxStaticText>("ID_STATICTEXT5"); }
    wxGauge* gauge() const { return named<wxGauge>("ID_GAUGE1"); }
    static std::string numbered(const char* prefix, int row) {
        return prefix + std::to_string(row + 1);
    }

    // What the toolkit sends when the button is clicked.
    void press(int id) {
        wxWindow* button = dialog->FindWindow(id);
        ASSERT_NE(button, nullptr);
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
    }
    ::testing::AssertionResult download() {
        press(DownloadDialog::ID_BUTTON1);
        if (wait_until([this] { return !dialog->downloading(); }, 20000))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the download never ended";
    }
    // Points every row at target + the row's number on the test server.
    void point_rows_at(const std::string& target) {
        for (int row = 0; row < DownloadDialog::ROWS; ++row)
            url(row)->SetValue(server.url(target + std::to_string(row + 1)));
    }
    int requests_for(const std::string& target) const {
        int n = 0;
        for (const LoopbackRequest& request : server.requests())
            n += request.target == target;
        return n;
    }
    std::string file(int row) const { return dir.path() + "/" + FILES[row]; }

    LoopbackServer server;
    TempDir dir;
    DownloadDialog* dialog = nullptr;
    std::string comets, critical;
};

TEST_F(DownloadDialogTest, OpensWithFourTickedRowsAndTheServersUrls) {
    EXPECT_EQ(dialog->GetTitle(), "Download comet and asteroid definitions");
    const wxString year = wxDateTime::Now().Format("%Y");
    const wxString expected[] = {
        "https://www.minorplanetcenter.net/iau/Ephemerides/Comets/Soft06Cmt.txt",
        "https://www.minorplanetcenter.net/iau/Ephemerides/Bright/" + year + "/Soft06Bright.txt",
        "https://www.minorplanetcenter.net/iau/Ephemerides/Unusual/Soft06Unusual.txt",
        "https://www.minorplanetcenter.net/iau/Ephemerides/CritList/Soft06CritList.txt",
    };
    const char* labels[] = {"Comets", "Bright", "Unusual", "Critical"};
    for (int row = 0; row < DownloadDialog::ROWS; ++row) {
        SCOPED_TRACE(row);
        ASSERT_NE(check(row), nullptr);
        ASSERT_NE(url(row), nullptr);
        ASSERT_NE(status(row), nullptr);
        EXPECT_TRUE(check(row)->IsChecked());
        EXPECT_EQ(check(row)->GetLabel(), labels[row]);
        EXPECT_EQ(url(row)->GetValue(), expected[row]);
        EXPECT_TRUE(url(row)->IsEditable());
        EXPECT_EQ(status(row)->GetLabel(), "");
    }
    ASSERT_NE(message(), nullptr);
    EXPECT_EQ(message()->GetLabel(), "");
    EXPECT_EQ(message()->GetFont().GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(message()->GetFont().GetPointSize(), 10);
    ASSERT_NE(gauge(), nullptr);
    EXPECT_EQ(gauge()->GetRange(), 100);
    EXPECT_EQ(gauge()->GetValue(), 0);
    EXPECT_EQ(dialog->FindWindow(DownloadDialog::ID_BUTTON2)->GetLabel(), "Close");
    EXPECT_EQ(dialog->FindWindow(DownloadDialog::ID_BUTTON1)->GetLabel(), "Download");
    EXPECT_EQ(dialog->FindWindow(DownloadDialog::ID_BUTTON1)->GetName(), "ID_BUTTON1");
    EXPECT_EQ(dialog->FindWindow(DownloadDialog::ID_BUTTON2)->GetName(), "ID_BUTTON2");
}

// Nothing clipped, nothing on top of anything else, the URL fields of both
// boxes in one column and wide enough for the server's URLs.
TEST_F(DownloadDialogTest, ControlsFitWithoutOverlap) {
    std::vector<wxWindow*> controls;
    for (int row = 0; row < DownloadDialog::ROWS; ++row)
        controls.insert(controls.end(), {check(row), url(row), status(row)});
    controls.insert(controls.end(),
                    {message(), gauge(), dialog->FindWindow(DownloadDialog::ID_BUTTON1),
                     dialog->FindWindow(DownloadDialog::ID_BUTTON2)});
    const wxRect client(dialog->ClientToScreen(wxPoint(0, 0)), dialog->GetClientSize());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const wxRect a = controls[i]->GetScreenRect();
        EXPECT_TRUE(client.Contains(a)) << controls[i]->GetName();
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(a.Intersects(controls[j]->GetScreenRect()))
                << controls[i]->GetName() << " and " << controls[j]->GetName();
    }
    for (int row = 0; row < DownloadDialog::ROWS; ++row) {
        EXPECT_GE(url(row)->GetSize().x, 400) << row;
        EXPECT_GT(url(row)->GetSize().x, url(row)->GetTextExtent(url(row)->GetValue()).x)
            << "the server's URL does not show whole in row " << row;
        EXPECT_EQ(url(row)->GetScreenPosition().x, url(0)->GetScreenPosition().x) << row;
        EXPECT_GE(status(row)->GetSize().x, status(row)->GetTextExtent("Failed").x) << row;
    }
}

TEST_F(DownloadDialogTest, EachRowReportsItsOwnOutcomeAndKeepsFailedFiles) {
    const std::string old_bright = "old bright list\n";
    const std::string old_critical = "old critical list\n";
    const std::string old_comets = "old comets\n";
    dir.write(FILES[0], old_comets);
    dir.write(FILES[1], old_bright);
    dir.write(FILES[3], old_critical);
    server.on("/row1", LoopbackServer::reply(200, comets));
    server.on("/row2", LoopbackServer::reply(404, "<html>gone</html>"));
    server.on("/row3", LoopbackServer::redirect(302, "/moved3"));
    server.on("/moved3", LoopbackServer::reply(200, critical));
    server.on("/row4", LoopbackServer::reply(500, "oops"));
    point_rows_at("/row");

    ASSERT_TRUE(download());
    const char* statuses[] = {"OK", "Failed", "OK", "Failed"};
    const char* tips[] = {"", "HTTP 404", "", "HTTP 500"};
    for (int row = 0; row < DownloadDialog::ROWS; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(status(row)->GetLabel(), statuses[row]);
        EXPECT_EQ(status(row)->GetToolTipText(), tips[row]);
        EXPECT_EQ(check(row)->IsChecked(), std::string(statuses[row]) == "Failed");
    }
    EXPECT_EQ(slurp(file(0)), comets);
    EXPECT_EQ(slurp(file(1)), old_bright);
    EXPECT_EQ(slurp(file(2)), critical);
    EXPECT_EQ(slurp(file(3)), old_critical);
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>(std::begin(FILES), std::end(FILES)));
    EXPECT_EQ(message()->GetLabel(), SENTENCE + "\nBright: HTTP 404\nCritical: HTTP 500");
    // The reasons' lines are shown whole.
    EXPECT_GE(message()->GetSize().y, message()->GetBestSize().y);
    EXPECT_GE(message()->GetSize().x, message()->GetBestSize().x);
    EXPECT_EQ(gauge()->GetValue(), 0);
    EXPECT_TRUE(dialog->FindWindow(DownloadDialog::ID_BUTTON1)->IsEnabled());
}

// A page the server sends with 200 instead of the list, or the other kind
// of list, fails its row and keeps the list there was.
TEST_F(DownloadDialogTest, AnswerThatIsNoListOfTheRowsKindFailsTheRow) {
    const std::string old_comets = "old comets\n";
    const std::string old_critical = "old critical list\n";
    dir.write(FILES[0], old_comets);
    dir.write(FILES[3], old_critical);
    server.on("/row1", LoopbackServer::reply(200, critical));
    server.on("/row4", LoopbackServer::reply(200, "<html><body>Maintenance</body></html>",
                                             "Content-Type: text/html\r\n"));
    point_rows_at("/row");
    check(1)->SetValue(false);
    check(2)->SetValue(false);
    ASSERT_TRUE(download());
    EXPECT_EQ(status(0)->GetLabel(), "Failed");
    EXPECT_EQ(status(0)->GetToolTipText(), "no comet element line in what came (text)");
    EXPECT_EQ(status(3)->GetLabel(), "Failed");
    EXPECT_EQ(status(3)->GetToolTipText(),
              "no asteroid element line in what came (an HTML or XML document)");
    EXPECT_EQ(slurp(file(0)), old_comets);
    EXPECT_EQ(slurp(file(3)), old_critical);
    EXPECT_EQ(files_in(dir.path()), (std::set<std::string>{FILES[0], FILES[3]}));
}

TEST_F(DownloadDialogTest, SecondDownloadRetriesOnlyWhatFailedOrWasTickedAgain) {
    server.on("/row1", LoopbackServer::reply(200, comets));
    server.on("/row2", LoopbackServer::reply(404, "gone"));
    server.on("/row3", LoopbackServer::reply(200, critical));
    server.on("/row4", LoopbackServer::reply(200, critical));
    point_rows_at("/row");
    ASSERT_TRUE(download());
    ASSERT_EQ(status(1)->GetLabel(), "Failed");

    // The bright list is back; the second press fetches it alone.
    server.on("/row2", LoopbackServer::reply(200, critical));
    ASSERT_TRUE(download());
    EXPECT_EQ(requests_for("/row1"), 1);
    EXPECT_EQ(requests_for("/row2"), 2);
    EXPECT_EQ(requests_for("/row3"), 1);
    EXPECT_EQ(requests_for("/row4"), 1);
    EXPECT_EQ(status(0)->GetLabel(), "");
    EXPECT_EQ(status(1)->GetLabel(), "OK");
    EXPECT_EQ(status(1)->GetToolTipText(), "");
    EXPECT_EQ(slurp(file(1)), critical);
    EXPECT_EQ(message()->GetLabel(), SENTENCE);

    // A row the user ticks again goes again.
    check(0)->SetValue(true);
    ASSERT_TRUE(download());
    EXPECT_EQ(requests_for("/row1"), 2);
    EXPECT_EQ(requests_for("/row2"), 2);
    EXPECT_EQ(status(0)->GetLabel(), "OK");
    EXPECT_FALSE(check(0)->IsChecked());
}

TEST_F(DownloadDialogTest, NothingTickedOnlyEmptiesTheStatusAndShowsTheMessage) {
    server.on("/row1", LoopbackServer::reply(404, "gone"));
    point_rows_at("/row");
    for (int row = 1; row < DownloadDialog::ROWS; ++row)
        check(row)->SetValue(false);
    ASSERT_TRUE(download());
    ASSERT_EQ(status(0)->GetLabel(), "Failed");
    check(0)->SetValue(false);
    ASSERT_TRUE(download());
    for (int row = 0; row < DownloadDialog::ROWS; ++row) {
        EXPECT_EQ(status(row)->GetLabel(), "") << row;
        EXPECT_EQ(status(row)->GetToolTipText(), "") << row;
    }
    EXPECT_EQ(message()->GetLabel(), SENTENCE);
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_TRUE(files_in(dir.path()).empty());
}

// No characters are dropped from a URL to make it fit: without a scheme the
// row fails and nothing is asked of anyone.
TEST_F(DownloadDialogTest, UrlWithoutSchemeFailsItsRow) {
    server.on("/row1", LoopbackServer::reply(200, comets));
    server.on("/row2", LoopbackServer::reply(200, critical));
    point_rows_at("/row");
    const std::string bare = "127.0.0.1:" + std::to_string(server.port()) + "/row1";
    url(0)->SetValue(bare);
    // Blanks around a pasted address do no harm.
    url(1)->SetValue("  " + server.url("/row2") + " ");
    check(2)->SetValue(false);
    check(3)->SetValue(false);
    ASSERT_TRUE(download());
    EXPECT_EQ(status(0)->GetLabel(), "Failed");
    EXPECT_EQ(status(0)->GetToolTipText(), "not an http:// or https:// address");
    EXPECT_TRUE(check(0)->IsChecked());
    EXPECT_EQ(status(1)->GetLabel(), "OK");
    EXPECT_EQ(requests_for("/row1"), 0);
    EXPECT_EQ(message()->GetLabel(), SENTENCE + "\nComets: not an http:// or https:// address");
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{FILES[1]});
}

TEST_F(DownloadDialogTest, RefusedConnectionNamesTheReason) {
    // A server that is gone by the time the dialog asks.
    std::string gone;
    {
        LoopbackServer short_lived;
        gone = short_lived.url("/list");
    }
    url(0)->SetValue(gone);
    for (int row = 1; row < DownloadDialog::ROWS; ++row)
        check(row)->SetValue(false);
    ASSERT_TRUE(download());
    EXPECT_EQ(status(0)->GetLabel(), "Failed");
    EXPECT_EQ(status(0)->GetToolTipText(), "could not connect");
}

// The gauge shows the share of the announced length while the rest is held
// back, and the dialog keeps drawing meanwhile.
TEST_F(DownloadDialogTest, GaugeFollowsTheAnnouncedLengthWhileTheDialogStaysResponsive) {
    std::atomic<bool> release{false};
    std::string body;
    while (body.size() < 40000)
        body += comets;
    body.resize(40000);
    server.on("/row1", [&](LoopbackExchange& exchange) {
        if (exchange.send(http_head(200, static_cast<long long>(body.size())) +
                          body.substr(0, 10000)) &&
            exchange.hold([&] { return release.load(); }))
            exchange.send(body.substr(10000));
    });
    point_rows_at("/row");
    for (int row = 1; row < DownloadDialog::ROWS; ++row)
        check(row)->SetValue(false);
    int paints = 0;
    dialog->Bind(wxEVT_PAINT, [&paints](wxPaintEvent& event) {
        ++paints;
        event.Skip();
    });

    press(DownloadDialog::ID_BUTTON1);
    EXPECT_TRUE(dialog->downloading());
    EXPECT_FALSE(dialog->FindWindow(DownloadDialog::ID_BUTTON1)->IsEnabled());
    EXPECT_TRUE(wait_until([this] { return gauge()->GetValue() == 25; }))
        << "gauge at " << gauge()->GetValue();
    const int before = paints;
    dialog->Refresh();
    EXPECT_TRUE(wait_until([&] { return paints > before; })) << "no repaint during the transfer";
    EXPECT_TRUE(dialog->downloading());

    release = true;
    ASSERT_TRUE(wait_until([this] { return !dialog->downloading(); }));
    EXPECT_EQ(status(0)->GetLabel(), "OK");
    EXPECT_EQ(gauge()->GetValue(), 0);
    EXPECT_EQ(slurp(file(0)), body);
}

// Without a length there is no share to show: the gauge pulses instead (the
// toolkit's animation, which a display without a window manager does not
// run, so only the share is checked here) and no bogus share appears.
TEST_F(DownloadDialogTest, GaugeShowsNoShareWithoutALength) {
    std::atomic<bool> release{false};
    server.on("/row1", [&](LoopbackExchange& exchange) {
        if (exchange.send(http_head(200, -1, "Transfer-Encoding: chunked\r\n") +
                          hex_size(HALLEY.size()) + "\r\n" + HALLEY + "\r\n") &&
            exchange.hold([&] { return release.load(); }))
            exchange.send("0\r\n\r\n");
    });
    point_rows_at("/row");
    for (int row = 1; row < DownloadDialog::ROWS; ++row)
        check(row)->SetValue(false);
    press(DownloadDialog::ID_BUTTON1);
    ASSERT_TRUE(wait_until([this] { return requests_for("/row1") == 1; }));
    settle(400);
    EXPECT_TRUE(dialog->downloading());
    EXPECT_EQ(gauge()->GetValue(), 0);
    release = true;
    ASSERT_TRUE(wait_until([this] { return !dialog->downloading(); }));
    EXPECT_EQ(status(0)->GetLabel(), "OK");
    EXPECT_EQ(slurp(file(0)), HALLEY);
}

// "Close", the window's close box and Escape all end a running transfer
// at once; the earlier file stays as it was.
TEST_F(DownloadDialogTest, ClosingDuringATransferCancelsIt) {
    const std::string old_comets = "old comets\n";
    struct Way {
        const char* name;
        std::function<void()> close;
    } ways[] = {
        {"Close button", [this] { press(DownloadDialog::ID_BUTTON2); }},
        {"close box", [this] { dialog->Close(); }},
        // What the toolkit makes of the key, whichever control has the focus.
        {"Escape",
         [this] {
             wxKeyEvent key(wxEVT_CHAR_HOOK);
             key.m_keyCode = WXK_ESCAPE;
             key.SetEventObject(url(0));
             dialog->ProcessWindowEvent(key);
         }},
    };
    server.on("/row1", LoopbackServer::stall_after(comets, 100));
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        dir.write(FILES[0], old_comets);
        if (!dialog->IsShown()) {
            dialog->Show();
            ASSERT_TRUE(wait_until([this] { return dialog->IsShownOnScreen(); }));
        }
        point_rows_at("/row");
        check(0)->SetValue(true);
        for (int row = 1; row < DownloadDialog::ROWS; ++row)
            check(row)->SetValue(false);
        const int asked = requests_for("/row1");
        press(DownloadDialog::ID_BUTTON1);
        ASSERT_TRUE(wait_until([&] { return requests_for("/row1") == asked + 1; }));
        const auto start = std::chrono::steady_clock::now();
        way.close();
        EXPECT_TRUE(wait_until([this] { return !dialog->IsShown(); }, 2000));
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                  1.0);
        EXPECT_FALSE(dialog->downloading());
        settle(200);
        EXPECT_EQ(status(0)->GetLabel(), "") << "a late result reached the row";
        EXPECT_EQ(slurp(file(0)), old_comets);
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{FILES[0]});
    }
}

TEST_F(DownloadDialogTest, CloseEndsTheModalRunDuringATransfer) {
    server.on("/row1", LoopbackServer::stall());
    point_rows_at("/row");
    dialog->Hide();
    bool closed_in_time = false;
    dialog->CallAfter([&] {
        press(DownloadDialog::ID_BUTTON1);
        if (wait_until([&] { return requests_for("/row1") == 1; }))
            closed_in_time = true;
        press(DownloadDialog::ID_BUTTON2);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(dialog->ShowModal(), wxID_CANCEL);
    EXPECT_TRUE(closed_in_time);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    EXPECT_FALSE(dialog->downloading());
    EXPECT_TRUE(files_in(dir.path()).empty());
}

// The frame destroys the dialog when its modal run ends; a transfer still
// running then must neither write nor outlive it.
TEST_F(DownloadDialogTest, DestroyingDuringATransferWritesNothing) {
    server.on("/row1", LoopbackServer::stall_after(comets, 10));
    point_rows_at("/row");
    press(DownloadDialog::ID_BUTTON1);
    ASSERT_TRUE(wait_until([&] { return requests_for("/row1") == 1; }));
    const auto start = std::chrono::steady_clock::now();
    delete dialog;
    dialog = nullptr;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
    settle(100);
    EXPECT_TRUE(files_in(dir.path()).empty());
}

// What the dialog writes is what the catalogue reads, the next time it
// reads at all.
TEST_F(DownloadDialogTest, DownloadedCometsAreReadByAnEmptyCatalogue) {
    server.on("/row1", LoopbackServer::reply(200, comets));
    point_rows_at("/row");
    for (int row = 1; row < DownloadDialog::ROWS; ++row)
        check(row)->SetValue(false);
    ASSERT_TRUE(download());
    ASSERT_EQ(status(0)->GetLabel(), "OK");
    nbFactory factory;
    EXPECT_EQ(factory.load_catalogues(dir.path(), false), 8u);
}

} // namespace
