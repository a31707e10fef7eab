#pragma once

#include "document/ChangeSet.h"
#include "document/SaveTransaction.h"

#include <memory>
#include <string>
#include <vector>

namespace skarvel {

class TJournal;
class Dialogs;
class DataSet;

// The one document: the changes of every page since the mod was read, gathered from the
// pages in the order of the save's journal lines, and saved as one by the transaction.
class Document {
public:
    explicit Document(DataSet& dataSet) : dataSet_(dataSet) {}
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // A source stays registered while its registration lives; either may end first.
    class Registration {
    public:
        Registration() = default;
        Registration(Registration&&) noexcept = default;
        Registration& operator=(Registration&&) noexcept = default;
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;
        ~Registration();

    private:
        friend class Document;
        Registration(std::weak_ptr<std::vector<ChangeSource*>> sources, ChangeSource* source)
            : sources_(std::move(sources)), source_(source) {}
        std::weak_ptr<std::vector<ChangeSource*>> sources_;
        ChangeSource* source_ = nullptr;
    };
    [[nodiscard]] Registration addSource(ChangeSource& source);
    bool hasChanges() const;
    ChangeSet changes() const;

    // The transaction over every page's changes; on Saved each page reads the files anew.
    // A failure throws with the text for the user, having told the pages what it wrote.
    TransactionOutcome save(TJournal& journal, Dialogs& dialogs, std::string_view label,
                            std::string_view cause, TransactionSteps steps);
    void discard();
    // The backup made before the last save of this session; empty before the first.
    const std::string& lastBackup() const { return lastBackup_; }
    // The files the last save wrote (the copies in data/ follow them).
    const std::vector<std::string>& lastWritten() const { return lastWritten_; }

    // The file's value is now the loaded one: the page that holds the change shows it.
    void keepFileValue(const PendingChange& change, const std::string& fileValue);

private:
    DataSet& dataSet_;
    // Shared with the registrations, which take their source out when they end.
    std::shared_ptr<std::vector<ChangeSource*>> sources_ =
        std::make_shared<std::vector<ChangeSource*>>();
    std::string lastBackup_;
    std::vector<std::string> lastWritten_;
};

} // namespace skarvel
