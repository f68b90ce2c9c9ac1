#pragma once
#include "AppSettings.h"
#include "Clock.h"
#include "DocumentChange.h"
#include "DocumentContents.h"
#include "Notices.h"

namespace kovo {

// Whether the document holds changes not yet saved. Every part marks it when
// it changes stored data; the document clears it on New, Open and Save.
class ModifiedFlag {
public:
    bool isSet() const { return set_; }
    void set(bool modified = true) { set_ = modified; }

private:
    bool set_ = false;
};

// What every part of the document is handed: the contents it works on, the
// settings and the clock it reads and the flag it marks. All of them belong
// to the document and outlive the part.
struct PartContext {
    DocumentContents& contents;
    const AppSettings& settings;
    const Clock& clock;
    ModifiedFlag& modified;
};

// One part of the document with one job. It changes its share of the
// contents and publishes what changed to its own listeners.
class DocumentPart {
public:
    explicit DocumentPart(const PartContext& context) : c_(context) {}
    DocumentPart(const DocumentPart&) = delete;
    DocumentPart& operator=(const DocumentPart&) = delete;

    Notices<DocumentChange>& changes() { return changes_; }

protected:
    DocumentContents& contents() const { return c_.contents; }
    const AppSettings& settings() const { return c_.settings; }
    const Clock& clock() const { return c_.clock; }
    void markModified() const { c_.modified.set(); }
    void notify(DocumentChange::Kind kind, int row = -1, int toRow = -1) const {
        changes_.notify({kind, row, toRow, false});
    }
    void notify(const DocumentChange& change) const { changes_.notify(change); }

private:
    PartContext c_;
    Notices<DocumentChange> changes_;
};

} // namespace kovo
