// The close approaches of the running simulation, a window beside the main
// one: a sortable table of the passes found so far, newest first, with the
// catalogue pages' filter box, and an export to the simulator's CSV table.
#pragma once

#include <cstdint>
#include <vector>

#include <wx/dialog.h>

#include "nbody/approach_watch.h"

class nbSystem;
class wxButton;
class wxCheckedListCtrl;
class wxListEvent;
class wxStaticText;
class wxTextCtrl;

class ApproachesDialog : public wxDialog {
public:
    // The columns, in order.
    enum Column { OBJECT, WITH, DATE, DISTANCE_KM, DISTANCE_AU, RADII, SPEED, COLUMNS };

    explicit ApproachesDialog(wxWindow* parent);

    // Brings the table up to the system's events (none without a system);
    // cheap when nothing changed, so the frame calls it every tick. A new
    // system, or a new start date, starts the table afresh.
    void Follow(const nbSystem* system);

    // The events shown, in time order.
    const std::vector<nbApproach>& GetEvents() const { return events; }
    wxCheckedListCtrl* GetList() const { return list; }
    wxTextCtrl* GetFilter() const { return filter; }
    // Sorts by a column as a click on its heading does: the same column
    // again turns the order round.
    void SortBy(int column);
    int GetSortColumn() const { return sort_column; }
    bool IsSortAscending() const { return sort_ascending; }
    // Writes the events as the simulator's --approaches does; false with a
    // reason.
    bool ExportCsv(const wxString& path, wxString& error) const;

private:
    void Fill();
    void Sort();
    void ShowCount();
    void OnColumnClick(wxListEvent& event);
    void OnExport(wxCommandEvent& event);

    wxTextCtrl* filter = nullptr;
    wxCheckedListCtrl* list = nullptr;
    wxStaticText* count = nullptr;
    wxButton* export_button = nullptr;
    std::vector<nbApproach> events;
    std::uint64_t serial = 0; // the watch the events came from
    int sort_column = DATE;
    bool sort_ascending = false; // newest first
};
