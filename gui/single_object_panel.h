// The manage-objects page "Add Single Object": one set of orbital elements
// typed in (or restored from an element file), saved, and made a body of
// the running system.
#pragma once

#include <memory>
#include <thread>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/hyperlink.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

// After wx/hyperlink.h, which declares what the generic control builds on.
#include <wx/generic/hyperlink.h>

#include "catalog/sbdb_lookup.h"
#include "gui/property_sheet.h"
#include "nbody/elements.h"

// The public small-body database, where elements of any known object are
// found to copy into the page.
extern const char* const SMALL_BODY_DATABASE_URL;

class SingleObjectPanel : public wxPropertyPage {
public:
    // The controls carry no identifiers of their own: the dialog around the
    // page numbers its buttons from wxID_HIGHEST + 1 too, and finds its close
    // button for Escape by its identifier.

    // The value fields, for whoever reads or fills the page.
    enum Field { NAME, E, A, I, OMEGA, W, TP, EPOCH, M, MASS };

    // Element files are written to and restored from data_directory.
    SingleObjectPanel(wxWindow* parent, wxWindowID id, const wxString& data_directory);
    // Cancels a look-up under way and waits for it.
    ~SingleObjectPanel() override;

    // The folder Restore opens in: the one a file was last restored from
    // in this run (or set by the window from its settings), the data
    // directory while there is none or it has gone.
    static wxString restore_folder();
    static void set_restore_folder(const wxString& folder);

    void Load() override;
    // Builds a set from the fields; a valid one is saved (while "Autosave on
    // Apply" is checked), becomes a body at the simulation's time and joins
    // the catalogue. Always true.
    bool Apply() override;

    // A new set from the fields, the caller's; null (and the message line
    // says so) when no type is chosen. Not validated.
    std::unique_ptr<nbOrbitalElements> ElementsFromFields();
    // Shows set in the fields: values with 16 decimals, the mass in
    // exponent form.
    void FieldsFromElements(const nbOrbitalElements& set);
    // Writes the element file of set, or says why not: a message box for a
    // missing or invalid set, the message line for a file that cannot be
    // written. True when the file was written.
    bool SaveElementsFile(nbOrbitalElements* set);

    wxTextCtrl* GetField(Field field) const;
    wxChoice* GetTypeChoice() const { return type_choice; }
    wxCheckBox* GetAutosaveCheck() const { return autosave_check; }
    wxButton* GetSaveButton() const { return save_button; }
    wxButton* GetRestoreButton() const { return restore_button; }
    wxGenericHyperlinkCtrl* GetBrowserLink() const { return browser_link; }
    wxTextCtrl* GetLookupField() const { return lookup_text; }
    wxButton* GetLookupButton() const { return lookup_button; }

    // Asks the small-body database for name on a thread of its own; the
    // answer fills the fields (several matches offer a choice of them), a
    // failure leaves them as they were and says why on the message line.
    void LookUp(const wxString& name);
    bool LookingUp() const { return lookup_worker.joinable(); }
    // How look-ups reach the database (time-outs, the authorities trusted).
    void SetLookupOptions(const FetchOptions& options) { lookup_options = options; }
    wxString GetMessage() const { return message_label->GetLabel(); }

protected:
    void OnSaveButton(wxCommandEvent& event);
    void OnRestoreButton(wxCommandEvent& event);
    void OnLookupButton(wxCommandEvent& event);

private:
    // Writes set's file into the data directory; false with the sentence
    // for the message line in failure.
    bool WriteFile(const nbOrbitalElements& set, wxString& failure);
    void ShowMessage(const wxString& text);
    // The answer of the look-up numbered generation, on the window's thread.
    void LookupDone(int generation, const wxString& name);
    void StopLookup();
    // Why set is invalid, on the message line: the mass or perihelion no
    // body can have, or what every set needs. Nothing for a null set, whose
    // field's message is already shown.
    void ShowInvalid(const nbOrbitalElements* set);

    wxTextCtrl* name_text = nullptr;
    wxTextCtrl* e_text = nullptr;
    wxTextCtrl* a_text = nullptr;
    wxTextCtrl* i_text = nullptr;
    wxTextCtrl* omega_text = nullptr;
    wxTextCtrl* w_text = nullptr;
    wxTextCtrl* tp_text = nullptr;
    wxTextCtrl* epoch_text = nullptr;
    wxTextCtrl* m_text = nullptr;
    wxTextCtrl* mass_text = nullptr;
    wxChoice* type_choice = nullptr;
    wxGenericHyperlinkCtrl* browser_link = nullptr;
    wxButton* save_button = nullptr;
    wxButton* restore_button = nullptr;
    wxCheckBox* autosave_check = nullptr;
    wxTextCtrl* lookup_text = nullptr;
    wxButton* lookup_button = nullptr;
    wxStaticText* message_label = nullptr;
    wxString data_directory;
    // The last report of a file not written: a later successful save takes
    // it off the message line rather than leave it standing.
    wxString shown_failure;

    FetchOptions lookup_options;
    std::thread lookup_worker;
    std::unique_ptr<FetchControl> lookup_control;
    LookupResult lookup_result; // written by the worker, read after joining it
    int lookup_generation = 0;
};
