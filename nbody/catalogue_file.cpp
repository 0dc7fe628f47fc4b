#include "nbody/catalogue_file.h"

#include "nbody/small_file.h"

namespace {

// Element sets of one file, in the order of its lines.
class LineReader {
public:
    LineReader(bool comets, std::vector<std::unique_ptr<nbOrbitalElements>>& sets)
        : comets_(comets), sets_(sets) {}

    void feed(const char* bytes, std::size_t size) {
        for (std::size_t k = 0; k < size; ++k) {
            const char c = bytes[k];
            // A lone CR ends a line too (old Mac text); CR LF ends one line
            // and an empty one, which is skipped like any blank line.
            if (c == '\n' || c == '\r')
                end_line();
            else if (line_.size() <= MAX_CATALOGUE_LINE)
                line_.push_back(c); // one byte more marks the line too long
        }
    }
    // A last line without a line end counts like the others.
    void finish() { end_line(); }
    long refused() const { return refused_; }
    const std::string& first_refused() const { return first_refused_; }

private:
    void end_line() {
        if (!line_.empty()) {
            std::string bounds;
            if (comets_) {
                auto comet = std::make_unique<nbOrbitalElementsComet>();
                if (comet->parse_line(line_, &bounds))
                    sets_.push_back(std::move(comet));
            } else {
                auto asteroid = std::make_unique<nbOrbitalElementsAsteroid>();
                if (asteroid->parse_line(line_, &bounds))
                    sets_.push_back(std::move(asteroid));
            }
            if (!bounds.empty() && refused_++ == 0)
                first_refused_ = catalogue_name(line_.substr(0, line_.find('|'))) + ": " + bounds;
        }
        line_.clear();
    }

    bool comets_;
    std::vector<std::unique_ptr<nbOrbitalElements>>& sets_;
    long refused_ = 0;
    std::string first_refused_;
    std::string line_;
};

} // namespace

CatalogueFileRead read_catalogue_sets(const std::string& path, bool comets,
                                      std::vector<std::unique_ptr<nbOrbitalElements>>& sets) {
    CatalogueFileRead result;
    // What a failed read appended is taken back.
    const std::size_t before = sets.size();
    LineReader reader(comets, sets);
    std::string error;
    switch (read_small_file_chunks(
        path, MAX_CATALOGUE_FILE_BYTES,
        [&reader](const char* bytes, std::size_t size) { reader.feed(bytes, size); }, error)) {
    case SmallFileStatus::Missing:
        sets.resize(before);
        return result;
    case SmallFileStatus::Unreadable:
        sets.resize(before);
        result.status = CatalogueFileRead::Status::Unreadable;
        result.reason = error;
        return result;
    case SmallFileStatus::Read:
        break;
    }
    reader.finish();
    result.status = CatalogueFileRead::Status::Read;
    result.added = static_cast<long>(sets.size() - before);
    result.refused = reader.refused();
    result.first_refused = reader.first_refused();
    return result;
}

CatalogueFileRead inspect_catalogue_file(const std::string& path, bool comets) {
    std::vector<std::unique_ptr<nbOrbitalElements>> sets;
    CatalogueFileRead result = read_catalogue_sets(path, comets, sets);
    result.file = path;
    return result;
}
