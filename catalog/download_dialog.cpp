#include "catalog/download_dialog.h"

#include <algorithm>

#include <wx/cursor.h>
#include <wx/datetime.h>
#include <wx/filename.h>
#include <wx/font.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

namespace {

// The rows' labels, for the translation catalogue; the lists' table holds
// the same words.
[[maybe_unused]] const char* const row_labels[] = {wxTRANSLATE("Comets"), wxTRANSLATE("Bright"),
                                                   wxTRANSLATE("Unusual"), wxTRANSLATE("Critical")};
static_assert(DownloadDialog::ROWS == CATALOGUE_LISTS);

wxString row_label(int row) {
    return wxGetTranslation(catalogue_list(row).label);
}

// The gauge's look while bytes arrive.
constexpr int GAUGE_PERIOD_MS = 100;

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(DownloadDialog, wxDialog)
    EVT_BUTTON(ID_BUTTON2, DownloadDialog::OnCloseClick)
    EVT_BUTTON(ID_BUTTON1, DownloadDialog::OnDownloadClick)
    EVT_CLOSE(DownloadDialog::OnClose)
    EVT_THREAD(ID_TRANSFER_DONE, DownloadDialog::OnTransferDone)
    EVT_TIMER(ID_GAUGE_TIMER, DownloadDialog::OnGaugeTimer)
wxEND_EVENT_TABLE()
// clang-format on

DownloadDialog::DownloadDialog(wxWindow* parent, const wxString& data_directory, wxWindowID id,
                               const wxPoint& pos, const wxSize& size)
    : wxDialog(parent, id, _("Download comet and asteroid definitions"), pos, size,
               wxDEFAULT_DIALOG_STYLE),
      data_directory_(data_directory), gauge_timer_(this, ID_GAUGE_TIMER) {
    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* comets_box = new wxStaticBoxSizer(wxVERTICAL, this, _("Comets"));
    auto* asteroids_box = new wxStaticBoxSizer(wxVERTICAL, this, _("Asteroids"));
    auto* comets_grid = new wxFlexGridSizer(3, 2, 8);
    auto* asteroids_grid = new wxFlexGridSizer(3, 2, 8);
    comets_grid->AddGrowableCol(1);
    asteroids_grid->AddGrowableCol(1);

    // "Failed" must fit, whatever the font.
    int status_width = 30;
    {
        wxStaticText probe(this, wxID_ANY, _("Failed"));
        status_width = std::max(status_width, probe.GetBestSize().x + 4);
    }

    for (int i = 0; i < ROWS; ++i) {
        wxStaticBoxSizer* box = i == 0 ? comets_box : asteroids_box;
        wxFlexGridSizer* grid = i == 0 ? comets_grid : asteroids_grid;
        wxWindow* owner = box->GetStaticBox();
        const wxString n = wxString::Format("%d", i + 1);
        Row& row = rows_[i];
        row.check = new wxCheckBox(owner, ID_CHECKBOX1 + i, row_label(i), wxDefaultPosition,
                                   wxDefaultSize, 0, wxDefaultValidator, "ID_CHECKBOX" + n);
        row.url = new wxTextCtrl(owner, ID_TEXTCTRL1 + i, wxEmptyString, wxDefaultPosition,
                                 wxSize(400, -1), 0, wxDefaultValidator, "ID_TEXTCTRL" + n);
        row.status =
            new wxStaticText(owner, ID_STATICTEXT1 + i, wxEmptyString, wxDefaultPosition,
                             wxSize(status_width, -1), wxST_NO_AUTORESIZE, "ID_STATICTEXT" + n);
        row.check->SetValue(true);
        grid->Add(row.check, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.url, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
        grid->Add(row.status, 0, wxALIGN_CENTER_VERTICAL);
    }
    // The URL fields of both boxes line up, and the server's URLs show whole.
    int check_width = 0;
    int url_width = 400;
    for (int i = 0; i < ROWS; ++i) {
        check_width = std::max(check_width, rows_[i].check->GetBestSize().x);
        url_width = std::max(url_width, rows_[i].url->GetTextExtent(default_url(i)).x + 24);
    }
    for (Row& row : rows_) {
        row.check->SetMinSize(wxSize(check_width, -1));
        row.url->SetMinSize(wxSize(url_width, -1));
    }

    comets_box->Add(comets_grid, 1, wxEXPAND | wxALL, 4);
    asteroids_box->Add(asteroids_grid, 1, wxEXPAND | wxALL, 4);
    top->Add(comets_box, 0, wxEXPAND | wxALL, 6);
    top->Add(asteroids_box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);

    message_ = new wxStaticText(this, ID_STATICTEXT5, wxEmptyString, wxDefaultPosition,
                                wxDefaultSize, 0, "ID_STATICTEXT5");
    message_->SetFont(
        wxFont(10, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD, false, "Arial"));
    // Room for the closing sentence from the start, so that the dialog does
    // not jump wider when it appears.
    message_->SetMinSize(wxSize(message_->GetTextExtent(message_text()).x + 4, -1));
    top->Add(message_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    gauge_ = new wxGauge(this, ID_GAUGE1, 100, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL,
                         wxDefaultValidator, "ID_GAUGE1");
    auto* close_button = new wxButton(this, ID_BUTTON2, _("Close"), wxDefaultPosition,
                                      wxDefaultSize, 0, wxDefaultValidator, "ID_BUTTON2");
    download_button_ = new wxButton(this, ID_BUTTON1, _("Download"), wxDefaultPosition,
                                    wxDefaultSize, 0, wxDefaultValidator, "ID_BUTTON1");
    bottom->Add(gauge_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    bottom->Add(close_button, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    bottom->Add(download_button_, 0, wxALIGN_CENTER_VERTICAL);
    top->Add(bottom, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);

    // Escape does what "Close" does.
    SetEscapeId(ID_BUTTON2);
    SetSizerAndFit(top);
    fill_urls();
}

DownloadDialog::~DownloadDialog() {
    if (control_)
        control_->cancel();
    if (worker_.joinable())
        worker_.join();
}

wxString DownloadDialog::default_url(int row) {
    return wxString::FromUTF8(
        catalogue_list_url(catalogue_list(row), mpc_server_url, current_year()));
}

void DownloadDialog::fill_urls() {
    for (int i = 0; i < ROWS; ++i) {
        rows_[i].url->ChangeValue(default_url(i));
        rows_[i].status->SetLabel(wxEmptyString);
        rows_[i].status->UnsetToolTip();
    }
    message_->SetLabel(wxEmptyString);
}

void DownloadDialog::OnCloseClick(wxCommandEvent&) {
    close_dialog();
}

void DownloadDialog::OnClose(wxCloseEvent&) {
    close_dialog();
}

void DownloadDialog::close_dialog() {
    stop_transfer();
    EndDialog(wxID_CANCEL);
}

void DownloadDialog::OnDownloadClick(wxCommandEvent&) {
    if (downloading())
        return;
    for (Row& row : rows_) {
        row.status->SetLabel(wxEmptyString);
        row.status->UnsetToolTip();
    }
    failures_.clear();
    download_button_->Disable();
    // The dialog stays usable ("Close" cancels), hence not the plain hourglass.
    SetCursor(wxCursor(wxCURSOR_ARROWWAIT));
    download_next(0);
}

void DownloadDialog::download_next(int row) {
    for (; row < ROWS; ++row) {
        if (rows_[row].check->IsChecked()) {
            current_row_ = row;
            download_file(rows_[row].url->GetValue().Strip(wxString::both), row);
            return;
        }
        Update();
    }
    finish_run();
}

void DownloadDialog::download_file(const wxString& url, int row) {
    control_ = std::make_unique<FetchControl>();
    const int generation = ++generation_;
    worker_ = std::thread([this, url = std::string(url.utf8_str()),
                           directory = std::string(data_directory_.fn_str()),
                           list = &catalogue_list(row), control = control_.get(), generation] {
        result_ = download_catalogue_list(*list, url, directory, FetchOptions(), control);
        auto* done = new wxThreadEvent(wxEVT_THREAD, ID_TRANSFER_DONE);
        done->SetInt(generation);
        wxQueueEvent(this, done);
    });
    gauge_->SetValue(0);
    gauge_timer_.Start(GAUGE_PERIOD_MS);
}

void DownloadDialog::OnTransferDone(wxThreadEvent& event) {
    // The notice of a transfer that "Close" already cancelled and joined.
    if (event.GetInt() != generation_ || !worker_.joinable())
        return;
    worker_.join();
    gauge_timer_.Stop();
    gauge_->SetValue(0);
    control_.reset();

    const int row = current_row_;
    Row& r = rows_[row];
    if (result_.ok) {
        r.status->SetLabel(_("OK"));
        r.status->UnsetToolTip();
        r.check->SetValue(false);
    } else {
        const wxString reason = wxString::FromUTF8(result_.reason.c_str());
        r.status->SetLabel(_("Failed"));
        r.status->SetToolTip(reason);
        failures_.push_back(row_label(row) + ": " + reason);
    }
    Update();
    download_next(row + 1);
}

void DownloadDialog::OnGaugeTimer(wxTimerEvent&) {
    if (!control_)
        return;
    const std::int64_t announced = control_->announced();
    if (announced > 0) {
        const std::int64_t share = control_->received() * 100 / announced;
        gauge_->SetValue(static_cast<int>(std::min<std::int64_t>(share, 100)));
    } else {
        gauge_->Pulse();
    }
}

void DownloadDialog::finish_run() {
    current_row_ = -1;
    wxString message =
        _("Use the object management dialog to create objects from this information.");
    for (const wxString& failure : failures_)
        message += "\n" + failure;
    message_->SetLabel(message);
    SetCursor(wxNullCursor);
    download_button_->Enable();

    // The reasons take lines of their own: grow to show them, never shrink.
    wxSize size = GetSize();
    size.IncTo(GetSizer()->ComputeFittingWindowSize(this));
    SetSize(size);
    Layout();
}

wxString DownloadDialog::message_text() {
    return _("Use the object management dialog to create objects from this information.");
}

void DownloadDialog::stop_transfer() {
    gauge_timer_.Stop();
    if (control_)
        control_->cancel();
    if (worker_.joinable())
        worker_.join();
    control_.reset();
    if (downloading()) {
        current_row_ = -1;
        SetCursor(wxNullCursor);
        download_button_->Enable();
    }
    gauge_->SetValue(0);
}
