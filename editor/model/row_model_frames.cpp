// The frame changes of the page's rows and the values of their added columns:
// edits beyond the seven fields, kept per row until a save writes them.
#include <algorithm>

#include "editor/model/row_model.h"

namespace rows {

namespace {

// A frame identifier the tag can hold; pictures are edited as pictures.
bool EditableFrameId(const std::string& id) {
    return id.size() == 4 && id != "APIC" && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

QString ValueOf(const AddedValues& values, const std::string& key) {
    const auto found = values.find(key);
    return found == values.end() ? QString() : found->second;
}

}  // namespace

bool TRowModel::ChangeFrame(int k, uint32_t stored, const std::string& id,
                            std::shared_ptr<const std::vector<uint8_t>> data) {
    if (stored == 0 || !EditableFrameId(id) || kind_ != 2) {
        return false;
    }
    FrameChanges& changes = rows_[Index(k)].frameChanges;
    std::erase_if(changes, [stored](const TFrameChange& c) { return c.stored == stored; });
    changes.push_back({stored, id, std::move(data)});
    return true;
}

bool TRowModel::AddFrame(int k, const std::string& id,
                         std::shared_ptr<const std::vector<uint8_t>> data) {
    if (!EditableFrameId(id) || data == nullptr || kind_ != 2) {
        return false;
    }
    rows_[Index(k)].frameChanges.push_back({0, id, std::move(data)});
    return true;
}

void TRowModel::SetFrameChanges(int k, const FrameChanges& changes) {
    rows_[Index(k)].frameChanges.clear();
    for (const TFrameChange& change : changes) {
        if (change.stored != 0) {
            ChangeFrame(k, change.stored, change.id, change.data);
        } else {
            AddFrame(k, change.id, change.data);
        }
    }
}

void TRowModel::LoadAddedValues(int k, const AddedValues& values) {
    Row& row = rows_[Index(k)];
    row.addedLoaded = row.addedShown = values;
}

bool TRowModel::SetAddedValue(int k, const std::string& key, const QString& text) {
    Row& row = rows_[Index(k)];
    if (ValueOf(row.addedShown, key) == text || kind_ != 2) {
        return false;
    }
    row.addedShown[key] = text;
    return true;
}

QString TRowModel::AddedShown(int k, const std::string& key) const {
    return ValueOf(rows_[Index(k)].addedShown, key);
}

QString TRowModel::AddedLoaded(int k, const std::string& key) const {
    return ValueOf(rows_[Index(k)].addedLoaded, key);
}

std::vector<std::string> TRowModel::ChangedAddedColumns(int k) const {
    const Row& row = rows_[Index(k)];
    std::vector<std::string> changed;
    for (const auto& [key, shown] : row.addedShown) {
        if (shown != ValueOf(row.addedLoaded, key)) {
            changed.push_back(key);
        }
    }
    return changed;
}

}  // namespace rows
