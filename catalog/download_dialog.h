// The dialog that fetches the Minor Planet Center's four element lists into
// the data directory. It only writes files; reading them is the catalogue's.
#pragma once

#include <memory>
#include <thread>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "catalog/catalogue_lists.h"
#include "catalog/http_fetch.h"

class DownloadDialog : public wxDialog {
public:
    enum {
        ID_CHECKBOX1 = wxID_HIGHEST + 1,
        ID_CHECKBOX2,
        ID_CHECKBOX3,
        ID_CHECKBOX4,
        ID_TEXTCTRL1,
        ID_TEXTCTRL2,
        ID_TEXTCTRL3,
        ID_TEXTCTRL4,
        ID_STATICTEXT1,
        ID_STATICTEXT2,
        ID_STATICTEXT3,
        ID_STATICTEXT4,
        ID_STATICTEXT5,
        ID_GAUGE1,
        ID_BUTTON1,
        ID_BUTTON2,
        ID_TRANSFER_DONE,
        ID_GAUGE_TIMER,
    };

    // Comets, Bright, Unusual, Critical: one check box, URL field and status
    // label each, in this order.
    static constexpr int ROWS = 4;

    DownloadDialog(wxWindow* parent, const wxString& data_directory, wxWindowID id = wxID_ANY,
                   const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    // Cancels a running transfer and waits for its thread: nothing is written.
    ~DownloadDialog() override;

    // The four URLs (the bright list's of this year) into the fields; status
    // labels and message emptied.
    void fill_urls();

    // True from "Download" until the last ticked row has its result.
    bool downloading() const { return current_row_ >= 0; }

protected:
    void OnCloseClick(wxCommandEvent& event);
    void OnDownloadClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnTransferDone(wxThreadEvent& event);
    void OnGaugeTimer(wxTimerEvent& event);

private:
    struct Row {
        wxCheckBox* check = nullptr;
        wxTextCtrl* url = nullptr;
        wxStaticText* status = nullptr;
    };

    // Starts the first ticked row from row on, or ends the run.
    void download_next(int row);
    // Starts fetching url into the row's list in the data directory on the
    // worker thread; the outcome arrives as OnTransferDone.
    void download_file(const wxString& url, int row);
    void finish_run();
    static wxString message_text();
    // The server's URL of the row's list; the bright list's is this year's.
    static wxString default_url(int row);
    // Cancels the transfer, if any, and waits for its thread.
    void stop_transfer();
    void close_dialog();

    wxString data_directory_;
    Row rows_[ROWS];
    wxStaticText* message_ = nullptr;
    wxGauge* gauge_ = nullptr;
    wxButton* download_button_ = nullptr;
    wxTimer gauge_timer_;

    // The run in progress: its current row, the reasons of the rows that
    // failed so far, and the transfer's thread.
    int current_row_ = -1;
    std::vector<wxString> failures_;
    std::thread worker_;
    std::unique_ptr<FetchControl> control_;
    FetchResult result_; // written by the worker, read after joining it
    int generation_ = 0; // tells a cancelled transfer's late notice apart

    wxDECLARE_EVENT_TABLE();
};
