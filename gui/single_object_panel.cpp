#include "gui/single_object_panel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

#include <wx/choicdlg.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "gui/element_file_wx.h"
#include "nbody/factory.h"
#include "nbody/format_number.h"
#include "nbody/parse_number.h"

const char* const SMALL_BODY_DATABASE_URL = "https://ssd.jpl.nasa.gov/tools/sbdb_lookup.html";

namespace {

const int LABEL_WIDTH = 200;
const int TEXT_WIDTH = 250;
const int UNIT_WIDTH = 30;
const int CHOICE_WIDTH = 100;
const int BORDER = 5;

// The width a control is laid out with, or its text's own where that is
// wider: no label may lose its end in a larger font or a longer translation.
void at_least(wxWindow* window, int width) {
    window->SetMinSize(wxSize(std::max(width, window->GetBestSize().x), -1));
}

// One width for all the row labels, so that the fields stand in one column
// even where a label needs more than the usual width.
void same_width(const std::vector<wxStaticText*>& labels, int width) {
    for (const wxStaticText* label : labels)
        width = std::max(width, label->GetBestSize().x);
    for (wxStaticText* label : labels)
        label->SetMinSize(wxSize(width, -1));
}

double number_in(const wxTextCtrl* field) {
    return leading_number(TrimBlanks(field->GetValue()).utf8_string());
}

// Why the field's text gives no value, empty when it does. A field left
// blank reads as 0 where that is allowed (the secondary values are assumed
// then); anything else must start with one finite number with a '.' decimal
// point, a unit after a blank at most ("2.36 AU"), so that "0,5", "abc" or
// "1e999" never become another value in silence.
wxString unreadable(const wxTextCtrl* field, const wxString& label, bool blank_allowed) {
    const wxString text = TrimBlanks(field->GetValue());
    if (text.empty())
        return blank_allowed ? wxString() : wxString::Format(_("INVALID: %s is empty."), label);
    const std::string utf8 = text.utf8_string();
    const char* first = utf8.data() + (utf8[0] == '+' ? 1 : 0);
    const char* last = utf8.data() + utf8.size();
    double value = 0;
    const auto read = std::from_chars(first, last, value);
    if (read.ec == std::errc::result_out_of_range)
        return wxString::Format(_("INVALID: %s holds \"%s\", which is out of range."), label, text);
    if (read.ec == std::errc() && std::isfinite(value) &&
        (read.ptr == last || *read.ptr == ' ' || *read.ptr == '\t'))
        return wxString();
    return wxString::Format(
        _("INVALID: %s holds \"%s\", which is not a number (the decimal point is '.')."), label,
        text);
}

} // namespace

SingleObjectPanel::SingleObjectPanel(wxWindow* parent, wxWindowID id,
                                     const wxString& data_directory)
    : wxPropertyPage(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "id"),
      data_directory(data_directory) {
    auto* column = new wxBoxSizer(wxVERTICAL);

    // One line: label, field, unit; the field's parent is the box it is in.
    std::vector<wxStaticText*> row_labels;
    auto add_row = [&row_labels](wxStaticBoxSizer* box, const wxString& label,
                                 const wxString& unit) {
        wxWindow* parent = box->GetStaticBox();
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        auto* text_label = new wxStaticText(parent, wxID_ANY, label);
        row_labels.push_back(text_label);
        row->Add(text_label, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        auto* field = new wxTextCtrl(parent, wxID_ANY, "");
        field->SetMinSize(wxSize(TEXT_WIDTH, -1));
        row->Add(field, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        auto* unit_label = new wxStaticText(parent, wxID_ANY, unit);
        at_least(unit_label, UNIT_WIDTH);
        row->Add(unit_label, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        box->Add(row, 0, wxEXPAND);
        return field;
    };

    auto* primary = new wxStaticBoxSizer(wxVERTICAL, this, _("Primary"));
    {
        wxWindow* parent = primary->GetStaticBox();
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        auto* label = new wxStaticText(parent, wxID_ANY, _("Object name"));
        row_labels.push_back(label);
        row->Add(label, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        name_text = new wxTextCtrl(parent, wxID_ANY, "");
        name_text->SetMinSize(wxSize(TEXT_WIDTH, -1));
        row->Add(name_text, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        auto* type_label = new wxStaticText(parent, wxID_ANY, _("Type"), wxDefaultPosition,
                                            wxDefaultSize, wxALIGN_RIGHT);
        row->Add(type_label, 1, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        const wxString types[] = {_("Asteroid"), _("Comet"), _("Planetary")};
        type_choice = new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 3, types);
        at_least(type_choice, CHOICE_WIDTH);
        row->Add(type_choice, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        primary->Add(row, 0, wxEXPAND);
    }
    e_text = add_row(primary, _("Eccentricity (e)"), "");
    a_text = add_row(primary, _("Semimajor axis (a)"), _("AU"));
    i_text = add_row(primary, _("Inclination (i)"), _("deg"));
    omega_text = add_row(primary, _("Longitude of ascending node (omega)"), _("deg"));
    w_text = add_row(primary, _("Argument of perihelion (w)"), _("deg"));
    tp_text = add_row(primary, _("Time of perihelion passage (Tp)"), _("JD"));
    epoch_text = add_row(primary, _("Epoch"), _("JD"));
    column->Add(primary, 0, wxALL | wxEXPAND, BORDER);

    auto* secondary =
        new wxStaticBoxSizer(wxVERTICAL, this, _("Secondary (values assumed if not provided)"));
    m_text = add_row(secondary, _("Mean Anomaly (M)"), _("deg"));
    mass_text = add_row(secondary, _("Mass"), _("Kg (Earth=5.9E24)"));
    column->Add(secondary, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxEXPAND, BORDER);
    same_width(row_labels, LABEL_WIDTH);

    auto* boxes = new wxBoxSizer(wxHORIZONTAL);
    auto* database =
        new wxStaticBoxSizer(wxVERTICAL, this, _("NASA/JPL Small-Body Database Browser"));
    {
        wxWindow* parent = database->GetStaticBox();
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        lookup_text = new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                     wxTE_PROCESS_ENTER);
        lookup_text->SetHint(_("Name or designation"));
        row->Add(lookup_text, 1, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        lookup_button = new wxButton(parent, wxID_ANY, _("Look up"));
        row->Add(lookup_button, 0, wxTOP | wxBOTTOM | wxRIGHT | wxALIGN_CENTER_VERTICAL, BORDER);
        database->Add(row, 0, wxEXPAND);
    }
    // The generic control: GTK's own shows every "_" of the address doubled.
    browser_link = new wxGenericHyperlinkCtrl(
        database->GetStaticBox(), wxID_ANY, SMALL_BODY_DATABASE_URL, SMALL_BODY_DATABASE_URL,
        wxDefaultPosition, wxDefaultSize, wxHL_CONTEXTMENU | wxHL_ALIGN_LEFT | wxNO_BORDER);
    database->Add(browser_link, 0, wxALL | wxALIGN_LEFT, BORDER);
    boxes->Add(database, 1, wxRIGHT | wxEXPAND, BORDER);
    auto* files = new wxStaticBoxSizer(wxHORIZONTAL, this, _("Single object save/restore"));
    save_button = new wxButton(files->GetStaticBox(), wxID_ANY, _("Save"));
    files->Add(save_button, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
    restore_button = new wxButton(files->GetStaticBox(), wxID_ANY, _("Restore..."));
    files->Add(restore_button, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
    autosave_check = new wxCheckBox(files->GetStaticBox(), wxID_ANY, _("Autosave on Apply"));
    autosave_check->SetValue(true);
    files->Add(autosave_check, 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
    boxes->Add(files, 0, wxEXPAND);
    column->Add(boxes, 0, wxLEFT | wxRIGHT | wxEXPAND, BORDER);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    // A long report (a file that cannot be written, with its name) ends in
    // an ellipsis rather than widen the dialog; its tooltip holds it whole.
    message_label = new wxStaticText(this, wxID_ANY, _("Message_label"), wxDefaultPosition,
                                     wxDefaultSize, wxST_ELLIPSIZE_END | wxST_NO_AUTORESIZE);
    message_label->SetFont(
        wxFont(10, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD, false, ""));
    bottom->Add(message_label, 1, wxLEFT | wxRIGHT | wxBOTTOM, 10);
    column->Add(bottom, 0, wxTOP | wxEXPAND, BORDER);

    SetSizer(column);
    column->Fit(this);
    column->SetSizeHints(this);

    save_button->Bind(wxEVT_BUTTON, &SingleObjectPanel::OnSaveButton, this);
    restore_button->Bind(wxEVT_BUTTON, &SingleObjectPanel::OnRestoreButton, this);
    lookup_button->Bind(wxEVT_BUTTON, &SingleObjectPanel::OnLookupButton, this);
    lookup_text->Bind(wxEVT_TEXT_ENTER, &SingleObjectPanel::OnLookupButton, this);
}

SingleObjectPanel::~SingleObjectPanel() {
    StopLookup();
}

void SingleObjectPanel::StopLookup() {
    if (lookup_control)
        lookup_control->cancel();
    if (lookup_worker.joinable())
        lookup_worker.join();
    lookup_control.reset();
}

void SingleObjectPanel::OnLookupButton(wxCommandEvent&) {
    LookUp(TrimBlanks(lookup_text->GetValue()));
}

void SingleObjectPanel::LookUp(const wxString& name) {
    if (LookingUp())
        return;
    if (name.empty()) {
        ShowMessage(_("Type a name or designation to look up."));
        return;
    }
    ShowMessage(wxString::Format(_("Looking up %s..."), name));
    lookup_button->Disable();
    lookup_control = std::make_unique<FetchControl>();
    const int generation = ++lookup_generation;
    // The transfer may take seconds: the dialog stays usable meanwhile.
    lookup_worker = std::thread([this, generation, name, query = name.utf8_string(),
                                 options = lookup_options, control = lookup_control.get()] {
        lookup_result = lookup_object(query, options, control);
        CallAfter([this, generation, name] { LookupDone(generation, name); });
    });
}

void SingleObjectPanel::LookupDone(int generation, const wxString& name) {
    if (generation != lookup_generation || !lookup_worker.joinable())
        return;
    lookup_worker.join();
    lookup_control.reset();
    lookup_button->Enable();
    LookupResult result = std::move(lookup_result);
    const wxString reason = wxString::FromUTF8(result.reason);
    switch (result.status) {
    case LookupResult::Status::Found:
        FieldsFromElements(*result.set);
        ShowMessage(wxString::Format(_("Found %s: check the values, then Apply or Save."),
                                     wxString::FromUTF8(result.full_name)));
        return;
    case LookupResult::Status::Several: {
        wxArrayString choices;
        for (const LookupMatch& match : result.matches)
            choices.Add(wxString::FromUTF8(match.name.empty() ? match.designation : match.name));
        wxSingleChoiceDialog chooser(this, wxString::Format(_("Several objects match %s:"), name),
                                     _("Look up"), choices);
        if (chooser.ShowModal() != wxID_OK || chooser.GetSelection() < 0) {
            ShowMessage(wxString::Format(_("Several objects match %s; none was chosen."), name));
            return;
        }
        LookUp(wxString::FromUTF8(result.matches[chooser.GetSelection()].designation));
        return;
    }
    case LookupResult::Status::NotFound:
        ShowMessage(wxString::Format(_("The database knows no object %s."), name));
        return;
    case LookupResult::Status::Refused:
        ShowMessage(wxString::Format(_("Not taken: %s."), reason));
        return;
    case LookupResult::Status::Failed:
        ShowMessage(wxString::Format(_("Could not look up %s: %s."), name, reason));
        return;
    }
}

wxTextCtrl* SingleObjectPanel::GetField(Field field) const {
    switch (field) {
    case NAME:
        return name_text;
    case E:
        return e_text;
    case A:
        return a_text;
    case I:
        return i_text;
    case OMEGA:
        return omega_text;
    case W:
        return w_text;
    case TP:
        return tp_text;
    case EPOCH:
        return epoch_text;
    case M:
        return m_text;
    case MASS:
        return mass_text;
    }
    return nullptr;
}

void SingleObjectPanel::Load() {
    ShowMessage(" ");
    MarkLoaded();
}

void SingleObjectPanel::ShowMessage(const wxString& text) {
    message_label->SetLabel(text);
    message_label->SetToolTip(text.Strip(wxString::both).empty() ? wxString() : text);
}

std::unique_ptr<nbOrbitalElements> SingleObjectPanel::ElementsFromFields() {
    const std::string name = CleanName(TrimBlanks(name_text->GetValue())).utf8_string();
    const int selected = type_choice->GetSelection();
    // The items' own texts, not their translations, name the kinds.
    static const char* const kinds[] = {"Asteroid", "Comet", "Planetary"};
    const std::string type = selected >= 0 && selected < 3 ? kinds[selected] : "";

    const double a = number_in(a_text), e = number_in(e_text), i = number_in(i_text),
                 w = number_in(w_text), omega = number_in(omega_text), tp = number_in(tp_text),
                 epoch = number_in(epoch_text), m = number_in(m_text), mass = number_in(mass_text);
    std::unique_ptr<nbOrbitalElements> set;
    if (type == "Asteroid")
        set = std::make_unique<nbOrbitalElementsAsteroid>(name, a, e, i, w, omega, tp, epoch, m);
    else if (type == "Comet")
        set = std::make_unique<nbOrbitalElementsComet>(name, a, e, i, w, omega, tp, epoch);
    else if (type == "Planetary")
        set = std::make_unique<nbOrbitalElementsPlanetary>(name, a, e, i, w, omega, tp, epoch, m);
    else {
        ShowMessage(_("INVALID: Please set object type"));
        return nullptr;
    }
    const struct {
        const wxTextCtrl* field;
        wxString label;
        bool blank_allowed;
    } fields[] = {{e_text, _("Eccentricity (e)"), false},
                  {a_text, _("Semimajor axis (a)"), false},
                  {i_text, _("Inclination (i)"), false},
                  {omega_text, _("Longitude of ascending node (omega)"), false},
                  {w_text, _("Argument of perihelion (w)"), false},
                  {tp_text, _("Time of perihelion passage (Tp)"), false},
                  {epoch_text, _("Epoch"), false},
                  {m_text, _("Mean Anomaly (M)"), true},
                  {mass_text, _("Mass"), true}};
    for (const auto& f : fields) {
        const wxString why = unreadable(f.field, f.label, f.blank_allowed);
        if (!why.empty()) {
            ShowMessage(why);
            return nullptr;
        }
    }
    if (mass > 0)
        set->set_mass(mass);
    return set;
}

void SingleObjectPanel::ShowInvalid(const nbOrbitalElements* set) {
    // Without a set, the message already names the field that gave none.
    if (!set)
        return;
    const std::string problem = set->physical_bounds_problem();
    if (!problem.empty())
        ShowMessage(wxString::Format(_("INVALID: %s"), wxString::FromUTF8(problem)));
    else
        ShowMessage(_("INVALID: no object can follow these elements (it needs a name, a > 0 "
                      "and e > 0, and a place at its epoch)."));
}

void SingleObjectPanel::FieldsFromElements(const nbOrbitalElements& set) {
    name_text->SetValue(wxString::FromUTF8(set.name()));
    static const char* const kinds[] = {"Asteroid", "Comet", "Planetary"};
    type_choice->SetSelection(wxNOT_FOUND);
    for (int k = 0; k < 3; ++k)
        if (set.type_name() == kinds[k])
            type_choice->SetSelection(k);
    const struct {
        wxTextCtrl* field;
        double value;
    } values[] = {{a_text, set.a()},         {e_text, set.e()},           {i_text, set.i()},
                  {w_text, set.w()},         {omega_text, set.omega()},   {tp_text, set.Tp()},
                  {epoch_text, set.epoch()}, {m_text, set.mean_anomaly()}};
    for (const auto& v : values)
        v.field->SetValue(format_fixed(v.value, 16));
    mass_text->SetValue(format_exponent(set.mass(), 8));
}

bool SingleObjectPanel::WriteFile(const nbOrbitalElements& set, wxString& failure) {
    wxString path;
    std::string error;
    if (::SaveElementsFile(set, data_directory, path, error))
        return true;
    failure = wxString::Format(_("Could not save %s: %s"), ElementsFileName(set),
                               wxString::FromUTF8(error));
    return false;
}

bool SingleObjectPanel::SaveElementsFile(nbOrbitalElements* set) {
    if (!set || !set->validate()) {
        wxMessageBox(_("Please check element parameters"),
                     _("Orbital elements invalid or incomplete"), wxOK | wxCENTRE, this);
        ShowInvalid(set);
        return false;
    }
    wxString failure;
    if (!WriteFile(*set, failure)) {
        ShowMessage(failure);
        shown_failure = failure;
        return false;
    }
    if (!shown_failure.empty() && message_label->GetLabel() == shown_failure)
        ShowMessage(" ");
    shown_failure.clear();
    return true;
}

bool SingleObjectPanel::Apply() {
    std::unique_ptr<nbOrbitalElements> set = ElementsFromFields();
    if (!set)
        return true;
    if (!set->validate()) {
        ShowInvalid(set.get());
        return true;
    }

    // Each refusal says why; nothing is saved for an object not created.
    // Without a system there is nothing to refuse, and the file is saved.
    const BodyJoin join = the_factory->join(*set);
    const wxString shown_name = wxString::FromUTF8(join.name);
    wxString refusal;
    switch (join.status) {
    case BodyJoin::Status::NameTaken:
        refusal = wxString::Format(
            _("No object created: a body named %s is already in the simulation."), shown_name);
        break;
    case BodyJoin::Status::Unplaceable:
        refusal = wxString::Format(_("No object created: the elements of %s give no usable "
                                     "state at the simulation's date."),
                                   shown_name);
        break;
    case BodyJoin::Status::TooClose:
        refusal = wxString::Format(_("No object created: %s would sit within a metre of "
                                     "%s, and two bodies on one point cannot be simulated."),
                                   shown_name, wxString::FromUTF8(join.near));
        break;
    case BodyJoin::Status::Joined:
    case BodyJoin::Status::Made:
    case BodyJoin::Status::NoSystem:
    case BodyJoin::Status::Nameless: // a valid set has a name
        break;
    }
    if (!refusal.empty()) {
        ShowMessage(refusal);
        shown_failure.clear();
        return true;
    }

    wxString failure;
    const bool saved = !autosave_check->IsChecked() || WriteFile(*set, failure);
    wxString message;
    if (join.status == BodyJoin::Status::Joined) {
        message = wxString::Format(_("The %s %s has been created!"),
                                   wxString::FromUTF8(set->type_name()), shown_name);
        the_factory->adopt_elements(std::move(set));
    }
    if (!saved)
        message += (message.empty() ? "" : " ") + failure;
    ShowMessage(message.empty() ? wxString(" ") : message);
    shown_failure = saved ? wxString() : message;
    return true;
}

void SingleObjectPanel::OnSaveButton(wxCommandEvent&) {
    std::unique_ptr<nbOrbitalElements> set = ElementsFromFields();
    // With a type chosen, values that give no set are refused as an
    // invalid set is.
    if (set || type_choice->GetSelection() >= 0)
        SaveElementsFile(set.get());
}

namespace {
// Shared by every page of the run: the dialog holding a page is made anew
// each time it opens.
wxString last_restore_folder;
} // namespace

wxString SingleObjectPanel::restore_folder() {
    return last_restore_folder;
}

void SingleObjectPanel::set_restore_folder(const wxString& folder) {
    last_restore_folder = folder;
}

void SingleObjectPanel::OnRestoreButton(wxCommandEvent&) {
    const wxString folder = !last_restore_folder.empty() && wxDirExists(last_restore_folder)
                                ? last_restore_folder
                                : data_directory;
    wxFileDialog chooser(this, _("Select Orbital Elements file"), folder, wxEmptyString,
                         _("XML file (*.xml)|*.xml"), wxFD_OPEN | wxFD_FILE_MUST_EXIST,
                         wxDefaultPosition, wxDefaultSize, "filedlg");
    // The toolkit's own chooser does not take the name from its constructor.
    chooser.SetName("filedlg");
    if (chooser.ShowModal() != wxID_OK)
        return;
    last_restore_folder = wxFileName(chooser.GetPath()).GetPath();
    // A file that yields no set changes nothing; the reading reports a file
    // that cannot be read or parsed through the toolkit's log.
    std::unique_ptr<nbOrbitalElements> set = LoadElementsFile(chooser.GetPath());
    if (set)
        FieldsFromElements(*set);
}
