#include "gui/delete_objects_panel.h"

#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include <wx/sizer.h>
#include <wx/utils.h>
#include <wx/wupdlock.h>

#include "gui/list_columns.h"
#include "nbody/factory.h"

namespace {

// The Earth of the sort under way, found once per sort rather than at
// every comparison; null when the system has none.
struct BodySort {
    bool active = false;
    const nbBody* earth = nullptr;
};
BodySort body_sort;

// The bodies of the current system as the rows store them, each with the
// name the system keeps it under.
using BodyNames = std::unordered_map<wxUIntPtr, std::string>;

BodyNames live_bodies() {
    BodyNames live;
    if (const nbSystem* system = the_factory->system()) {
        live.reserve(system->size());
        for (const auto& entry : *system)
            live.emplace(reinterpret_cast<wxUIntPtr>(entry.second.get()), entry.first);
    }
    return live;
}

const nbBody* sort_earth() {
    if (body_sort.active)
        return body_sort.earth;
    const nbSystem* system = the_factory->system();
    return system ? system->find("Earth") : nullptr;
}

} // namespace

DeleteObjectsPanel::DeleteObjectsPanel(wxWindow* parent, wxWindowID id)
    : wxPropertyPage(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "id") {
    // Kept rows, as on the catalogue pages: the system may hold thousands.
    layout = lay_out_list_page(
        this, _("Check the objects to be deleted from the simulation, then press Apply."),
        _("Label"), true);
    instruction_text = layout.instruction;
    list = layout.list;
    message_label = layout.message;

    list->Bind(wxEVT_LIST_COL_CLICK, &DeleteObjectsPanel::OnColumnClick, this);
}

DeleteObjectsPanel::~DeleteObjectsPanel() = default;

void DeleteObjectsPanel::Load() {
    InsertListColumns();

    LongestTexts longest_names;
    if (const nbSystem* system = the_factory->system()) {
        wxWindowUpdateLocker frozen(list);
        int row = 0;
        for (const auto& entry : *system) {
            row = AddBodyRow(row, entry.second.get());
            longest_names.offer(name_text(entry.second->name()));
        }
    }
    fit_columns(list, longest_names);
    list->CheckAll(false);
    list->SetFilterText(layout.filter->GetValue());
    show_count(layout);
    message_label->SetLabel(" ");
    MarkLoaded();
}

void DeleteObjectsPanel::InsertListColumns() {
    list->ClearAll();
    insert_columns(list, {{wxTRANSLATE("Object"), wxLIST_FORMAT_LEFT, 150},
                          {wxTRANSLATE("Earth distance [AU]"), wxLIST_FORMAT_RIGHT, 120},
                          {wxTRANSLATE("Mass [Earth mass]"), wxLIST_FORMAT_RIGHT, 120},
                          {wxTRANSLATE("Ecliptic distance [AU]"), wxLIST_FORMAT_RIGHT, 120}});
}

void DeleteObjectsPanel::ReserveSize() {
    if (IsLoaded())
        return;
    InsertListColumns();
    LongestTexts longest;
    if (const nbSystem* system = the_factory->system())
        for (const auto& entry : *system)
            longest.offer(name_text(entry.second->name()));
    for (auto set = the_factory->catalogue_begin(); set != the_factory->catalogue_end(); ++set)
        longest.offer(name_text((*set)->name()));
    fit_columns(list, longest);
}

int DeleteObjectsPanel::AddBodyRow(int row, const nbBody* body) {
    const long inserted = list->InsertItem(row, name_text(body->name()));
    if (inserted < 0)
        return row;
    list->SetItemPtrData(inserted, reinterpret_cast<wxUIntPtr>(body));

    double d = -1;
    const nbSystem* system = the_factory->system();
    if (const nbBody* earth = system ? system->find("Earth") : nullptr)
        d = body->distance(*earth) / ASTRONOMICAL_UNIT;
    const double m = body->mass() / EARTH_MASS;
    const double z = body->position().z / ASTRONOMICAL_UNIT;

    list->SetItem(inserted, 1, number_text("%f", d));
    list->SetItem(inserted, 2, number_text(m < 0.001 ? "%.3e" : "%.3g", m));
    list->SetItem(inserted, 3, number_text("%f", z));
    return row + 1;
}

void DeleteObjectsPanel::DropVanishedRows() {
    const BodyNames live = live_bodies();
    for (long row = list->GetRowCount() - 1; row >= 0; --row)
        if (!live.count(list->GetRowData(row)))
            list->DeleteRow(row);
}

bool DeleteObjectsPanel::Apply() {
    DropVanishedRows();
    std::vector<long> remembered;
    if (nbSystem* system = the_factory->system()) {
        // Bodies are found by the pointers the rows hold, never by following
        // one that the system may no longer hold.
        const BodyNames live = live_bodies();
        const long n = list->GetRowCount();
        for (long i = 0; i < n; ++i) {
            if (!list->IsRowChecked(i))
                continue;
            const auto found = live.find(list->GetRowData(i));
            if (found != live.end())
                system->remove(found->second);
            remembered.push_back(i);
        }
    }
    // Highest index first, so that each deletion leaves the indices still to
    // be deleted valid.
    for (auto row = remembered.rbegin(); row != remembered.rend(); ++row)
        list->DeleteRow(*row);
    show_count(layout);
    message_label->SetLabel(
        wxString::Format(_("%d objects deleted."), static_cast<int>(remembered.size())));
    return true;
}

void DeleteObjectsPanel::OnColumnClick(wxListEvent& event) {
    const int col = event.GetColumn();
    if (col < 0 || col > 3)
        return;
    sort_ascending = !sort_ascending;

    wxBusyCursor busy;
    // A row must never lead the sort to a body that is gone.
    DropVanishedRows();
    const nbSystem* system = the_factory->system();
    body_sort.earth = system ? system->find("Earth") : nullptr;
    body_sort.active = true;
    list->SortItems(CompareBodies, sort_ascending ? col + 1 : -(col + 1));
    body_sort = BodySort();
}

int wxCALLBACK DeleteObjectsPanel::CompareBodies(wxIntPtr item1, wxIntPtr item2,
                                                 wxIntPtr sort_data) {
    const auto* a = reinterpret_cast<const nbBody*>(item1);
    const auto* b = reinterpret_cast<const nbBody*>(item2);
    // Rows without a body (there are none) go last, whatever the direction.
    if (!a || !b)
        return a == b ? 0 : (a ? -1 : 1);
    const int sign = sort_data > 0 ? 1 : -1;
    switch (std::labs(sort_data)) {
    case 1:
        // The Moon's display name is empty, so it sorts first.
        return signed_order(a->display_name().compare(b->display_name()), sign);
    case 2: {
        const nbBody* earth = sort_earth();
        if (!earth)
            return 0;
        return compare_sort_keys(a->distance(*earth), b->distance(*earth), sign);
    }
    case 3:
        return compare_sort_keys(a->mass(), b->mass(), sign);
    case 4:
        return compare_sort_keys(a->position().z, b->position().z, sign);
    default:
        return 0;
    }
}
