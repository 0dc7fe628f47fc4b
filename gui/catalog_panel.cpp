#include "gui/catalog_panel.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include <wx/bookctrl.h>
#include <wx/filename.h>
#include <wx/progdlg.h>
#include <wx/sizer.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>
#include <wx/wupdlock.h>

#include "catalog/download_dialog.h"
#include "datebridge/date_bridge.h"
#include "nbody/factory.h"
#include "nbody/near_index.h"
#include "nbody/planets.h"

double catalogue_reference_jd = 0;

namespace {

using DistanceCache = std::unordered_map<const nbOrbitalElements*, double>;

// The distances of the sort under way: a sort compares each row about
// 2 log2(n) times, and every distance solves Kepler's equation.
const DistanceCache* sort_distances = nullptr;

double sort_distance(const nbOrbitalElements* set) {
    if (sort_distances) {
        const auto found = sort_distances->find(set);
        if (found != sort_distances->end())
            return found->second;
    }
    return set->earth_distance(catalogue_reference_jd);
}

// A progress dialog that appears only once the work has gone on for
// delay_ms: a short Apply should not flash a window.
class DelayedProgress {
public:
    DelayedProgress(wxWindow* parent, int range, long delay_ms)
        : parent_(parent), range_(range), delay_ms_(delay_ms) {}

    // Shows value of the range; false once the user has cancelled. A new
    // stage (forced) shows at once, later steps a few times a second.
    bool update(int value, const wxString& message, bool force = false) {
        const long now = clock_.Time();
        if (!dialog_) {
            if (now < delay_ms_)
                return true;
            dialog_ = std::make_unique<wxProgressDialog>(
                _("Creating objects"), message, range_, parent_,
                wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_ELAPSED_TIME | wxPD_REMAINING_TIME);
            last_ms_ = now;
            return dialog_->Update(value, message);
        }
        // Each update repaints and yields to the toolkit: a few per second
        // keep the gauge moving without slowing the work.
        if (!force && now - last_ms_ < 50)
            return !dialog_->WasCancelled();
        last_ms_ = now;
        return dialog_->Update(value, message);
    }

private:
    wxWindow* parent_;
    int range_;
    long delay_ms_;
    wxStopWatch clock_;
    long last_ms_ = 0;
    std::unique_ptr<wxProgressDialog> dialog_;
};

// The catalogue files that hold sets of a page's kind (0: all).
std::vector<const char*> files_of_kind(int kind) {
    std::vector<const char*> files;
    if (kind != 2)
        files.push_back(nbFactory::COMETS_FILE);
    if (kind != 1)
        for (const char* file :
             {nbFactory::BRIGHT_FILE, nbFactory::UNUSUAL_FILE, nbFactory::CRITICAL_FILE})
            files.push_back(file);
    return files;
}

bool file_in(const wxString& directory, const char* file) {
    return wxFileName(directory, file).FileExists();
}

} // namespace

CatalogPanel::CatalogPanel(wxWindow* parent, wxWindowID id, const wxString& data_directory)
    : wxPropertyPage(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "id"),
      data_directory(data_directory), earth_jd(std::numeric_limits<double>::quiet_NaN()) {
    // The control keeps the rows itself: catalogues run to tens of thousands.
    layout = lay_out_list_page(
        this,
        _("Check the objects to be included in the 3d gravity simulation, then press Apply to "
          "create."),
        _("Message label"), false);
    instruction_text = layout.instruction;
    list = layout.list;
    message_label = layout.message;
    download_button = new wxButton(this, wxID_ANY, _("Download catalogues..."));
    layout.message_row->Add(download_button, 0, wxALIGN_CENTER_VERTICAL);
    download_button->Hide();

    list->Bind(wxEVT_LIST_COL_CLICK, &CatalogPanel::OnColumnClick, this);
    download_button->Bind(wxEVT_BUTTON, &CatalogPanel::OnDownloadButton, this);
}

CatalogPanel::~CatalogPanel() = default;

void CatalogPanel::Load() {
    the_factory->load_catalogues(std::string(data_directory.fn_str()), false);

    // Sets stay where they are in the catalogue while it only grows, so the
    // checks of a refill follow them.
    std::unordered_set<wxUIntPtr> checked;
    for (long row = 0; row < list->GetRowCount(); ++row)
        if (list->IsRowChecked(row))
            checked.insert(list->GetRowData(row));

    // A second fill starts afresh rather than adding a second set of columns.
    InsertListColumns();
    longest_names = LongestTexts();

    catalogue_reference_jd = datetime_to_jd(wxDateTime::Now());
    if (const nbSystem* system = the_factory->system())
        catalogue_reference_jd = system->time();

    {
        // Tens of thousands of rows: no drawing until all are in.
        wxWindowUpdateLocker frozen(list);
        int row = 0;
        for (auto set = the_factory->catalogue_begin(); set != the_factory->catalogue_end(); ++set)
            row = AddElementsRow(row, set->get(), catalogue_reference_jd);
        list->CheckAll(false);
        if (!checked.empty())
            for (long r = 0; r < list->GetRowCount(); ++r)
                if (checked.count(list->GetRowData(r)))
                    list->Check(r, true);
        list->SetFilterText(layout.filter->GetValue());
    }
    fit_columns(list, longest_names);
    show_count(layout);

    message_label->SetLabel(" ");
    const bool empty = list->GetRowCount() == 0;
    if (empty) {
        bool any_file = false;
        for (const char* file : files_of_kind(object_kind))
            any_file = any_file || file_in(data_directory, file);
        message_label->SetLabel(any_file ? _("The catalogue files hold no objects of this kind.")
                                         : _("No catalogue has been downloaded yet."));
    }
    download_button->Show(empty);
    Layout();
    MarkLoaded();
}

void CatalogPanel::OnDownloadButton(wxCommandEvent&) {
    // Only the lists that were missing are read afterwards: those present
    // are in the catalogue already, and reading one twice would list every
    // set twice.
    std::vector<const char*> missing;
    for (const char* file : files_of_kind(0))
        if (!file_in(data_directory, file))
            missing.push_back(file);
    {
        DownloadDialog download(this, data_directory);
        download.ShowModal();
    }
    bool arrived = false;
    const std::string directory(data_directory.fn_str());
    for (const char* file : missing)
        if (file_in(data_directory, file)) {
            the_factory->read_catalogue_file(directory, file,
                                             std::string(file) == nbFactory::COMETS_FILE);
            arrived = true;
        }
    if (!arrived)
        return;
    // The other catalogue page shows the new sets when next selected.
    if (auto* book = dynamic_cast<wxBookCtrlBase*>(GetParent()))
        for (size_t k = 0; k < book->GetPageCount(); ++k)
            if (auto* page = dynamic_cast<CatalogPanel*>(book->GetPage(k)); page && page != this)
                page->SetLoaded(false);
    Load();
}

const vec3d& CatalogPanel::EarthAt(double jd) {
    if (!(earth_jd == jd)) {
        earth_position = planet_position(Planet::Earth, jd);
        earth_jd = jd;
    }
    return earth_position;
}

void CatalogPanel::InsertListColumns() {
    list->ClearAll();
    insert_columns(list, {{wxTRANSLATE("Object"), wxLIST_FORMAT_LEFT, 150},
                          {wxTRANSLATE("Earth distance [AU]"), wxLIST_FORMAT_RIGHT, 110},
                          {wxTRANSLATE("Eccentricity"), wxLIST_FORMAT_RIGHT, 80},
                          {wxTRANSLATE("Inclination [deg]"), wxLIST_FORMAT_RIGHT, 100},
                          {wxTRANSLATE("Perihelion distance [AU]"), wxLIST_FORMAT_RIGHT, 130}});
}

void CatalogPanel::ReserveSize() {
    if (IsLoaded())
        return;
    InsertListColumns();
    LongestTexts longest;
    for (auto set = the_factory->catalogue_begin(); set != the_factory->catalogue_end(); ++set)
        if (object_kind == 0 || (*set)->type_code() == object_kind)
            longest.offer(name_text((*set)->name()));
    fit_columns(list, longest);
}

int CatalogPanel::AddElementsRow(int row, const nbOrbitalElements* set, double jd) {
    if (object_kind != 0 && set->type_code() != object_kind)
        return row;

    const wxString name = name_text(set->name());
    longest_names.offer(name);
    wxListItem item;
    item.SetId(row);
    item.SetText(name);
    item.SetData(const_cast<nbOrbitalElements*>(set));
    const long inserted = list->InsertItem(item);
    if (inserted < 0)
        return row;
    list->SetItem(inserted, 1, number_text("%f", set->earth_distance(jd, EarthAt(jd))));
    list->SetItem(inserted, 2, number_text("%f", set->e()));
    list->SetItem(inserted, 3, number_text("%f", set->i()));
    list->SetItem(inserted, 4, number_text("%f", set->perihelion_distance()));
    return row + 1;
}

bool CatalogPanel::Apply() {
    int created = 0, unplaceable = 0, too_close = 0;
    std::string first_close, first_close_to;
    bool cancelled = false;
    if (nbSystem* system = the_factory->system()) {
        // Rows the filter hides count as well: the user checked them.
        std::vector<const nbOrbitalElements*> wanted;
        for (long row = 0; row < list->GetRowCount(); ++row) {
            if (!list->IsRowChecked(row))
                continue;
            const auto* set = reinterpret_cast<const nbOrbitalElements*>(list->GetRowData(row));
            if (set && !system->find(set->name()))
                wanted.push_back(set);
        }
        // All bodies are made before the first joins the system, and a
        // cancel while they join takes back those that joined: the system is
        // left as it was.
        const int total = static_cast<int>(wanted.size());
        DelayedProgress progress(this, 2 * total + 1, progress_delay_ms);
        std::vector<BodyJoin> made;
        made.reserve(wanted.size());
        for (int k = 0; k < total && !cancelled; ++k) {
            cancelled =
                !progress.update(k, wxString::Format(_("%s of %s objects made"), grouped_count(k),
                                                     grouped_count(total)));
            if (cancelled)
                break;
            // A set whose orbit gives no finite moving state at this date
            // makes no body; the factory gives it the state its mode wants.
            BodyJoin join = the_factory->prepare_join(*wanted[k]);
            if (join.status == BodyJoin::Status::Unplaceable)
                ++unplaceable;
            if (join.status == BodyJoin::Status::Made)
                made.push_back(std::move(join));
        }
        // Each addition costs time in proportion to the bodies already there.
        // A body within a metre of one already there (or of one added just
        // before, as twins with the same elements are) stays out.
        nbNearIndex placed(*system);
        std::vector<std::string> added;
        const int count = static_cast<int>(made.size());
        for (int k = 0; k < count && !cancelled; ++k) {
            cancelled =
                !progress.update(total + k,
                                 wxString::Format(_("%s of %s objects added to the simulation"),
                                                  grouped_count(k), grouped_count(count)),
                                 k == 0);
            if (cancelled)
                break;
            BodyJoin& join = made[k];
            the_factory->finish_join(join, &placed);
            if (join.status == BodyJoin::Status::Joined)
                added.push_back(join.name);
            if (join.status == BodyJoin::Status::TooClose && too_close++ == 0) {
                first_close = join.name;
                first_close_to = join.near;
            }
        }
        if (cancelled) {
            wxBusyCursor busy;
            for (const std::string& name : added)
                system->remove(name);
        }
        created = static_cast<int>(added.size());
    }
    if (cancelled) {
        message_label->SetLabel(_("Cancelled: no objects created."));
        return true;
    }
    wxString message = wxString::Format(_("%d objects created."), created);
    if (unplaceable > 0)
        message += wxString::Format(_(" %d could not be placed at this date."), unplaceable);
    if (too_close > 0)
        message += wxString::Format(_(" %d would sit within a metre of another body and stayed out "
                                      "(the first, %s, on %s)."),
                                    too_close, wxString::FromUTF8(first_close),
                                    wxString::FromUTF8(first_close_to));
    message_label->SetLabel(message);
    return true;
}

void CatalogPanel::OnColumnClick(wxListEvent& event) {
    if (const nbSystem* system = the_factory->system())
        catalogue_reference_jd = system->time();
    const int col = event.GetColumn();
    if (col < 0 || col > 4)
        return;
    sort_ascending = !sort_ascending;

    wxBusyCursor busy;
    DistanceCache distances;
    if (col == 1) {
        // Hidden rows sort too: they are in place when the filter changes.
        const long n = list->GetRowCount();
        distances.reserve(n);
        const vec3d& earth = EarthAt(catalogue_reference_jd);
        for (long i = 0; i < n; ++i)
            if (const auto* set = reinterpret_cast<const nbOrbitalElements*>(list->GetRowData(i)))
                distances.emplace(set, set->earth_distance(catalogue_reference_jd, earth));
    }
    sort_distances = &distances;
    list->SortItems(CompareElements, sort_ascending ? col + 1 : -(col + 1));
    sort_distances = nullptr;
}

int wxCALLBACK CatalogPanel::CompareElements(wxIntPtr item1, wxIntPtr item2, wxIntPtr sort_data) {
    const auto* a = reinterpret_cast<const nbOrbitalElements*>(item1);
    const auto* b = reinterpret_cast<const nbOrbitalElements*>(item2);
    // Rows without a set (there are none) go last, whatever the direction.
    if (!a || !b)
        return a == b ? 0 : (a ? -1 : 1);
    const int sign = sort_data > 0 ? 1 : -1;
    switch (std::labs(sort_data)) {
    case 1:
        return signed_order(a->name().compare(b->name()), sign);
    case 2:
        return compare_sort_keys(sort_distance(a), sort_distance(b), sign);
    case 3:
        return compare_sort_keys(a->e(), b->e(), sign);
    case 4:
        return compare_sort_keys(a->i(), b->i(), sign);
    case 5:
        return compare_sort_keys(a->perihelion_distance(), b->perihelion_distance(), sign);
    default:
        return 0;
    }
}
