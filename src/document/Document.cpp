#include "document/Document.h"

#include <algorithm>

namespace skarvel {

Document::Registration::~Registration() {
    if (const auto sources = sources_.lock()) {
        std::erase(*sources, source_);
    }
}

Document::Registration Document::addSource(ChangeSource& source) {
    sources_->push_back(&source);
    return Registration(sources_, &source);
}

bool Document::hasChanges() const {
    return std::any_of(sources_->begin(), sources_->end(),
                       [](const ChangeSource* source) { return source->hasChanges(); });
}

ChangeSet Document::changes() const {
    ChangeSet changes;
    for (ChangeSource* source : *sources_) {
        source->addTo(changes);
    }
    return changes;
}

void Document::keepFileValue(const PendingChange& change, const std::string& fileValue) {
    for (ChangeSource* source : *sources_) {
        source->keepFileValue(change, fileValue);
    }
}

TransactionOutcome Document::save(TJournal& journal, Dialogs& dialogs, std::string_view label,
                                  std::string_view cause, TransactionSteps steps) {
    if (!steps.keepFileValue) {
        steps.keepFileValue = [this](const PendingChange& change, const std::string& value) {
            keepFileValue(change, value);
        };
    }
    SaveTransaction transaction(journal, dialogs, dataSet_, std::move(steps));
    ChangeSet changes = this->changes();
    TransactionOutcome outcome = TransactionOutcome::NotOpen;
    try {
        outcome = transaction.run(label, cause, changes);
    } catch (...) {
        lastWritten_ = transaction.written();
        if (!transaction.written().empty()) {
            lastBackup_ = transaction.backup();
        }
        throw;
    }
    lastWritten_ = transaction.written();
    if (outcome == TransactionOutcome::Saved) {
        lastBackup_ = transaction.backup();
        for (ChangeSource* source : *sources_) {
            source->saved();
        }
    }
    return outcome;
}

void Document::discard() {
    for (ChangeSource* source : *sources_) {
        source->discard();
    }
}

} // namespace skarvel
