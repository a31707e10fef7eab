#include "app/ProblemModel.h"

#include <array>

namespace skarvel {

namespace {

enum Column { kSeverity, kRule, kFile, kLine, kNickname, kMessage, kColumns };

const std::array<const char*, kColumns> kHeaders = {"Severity", "Rule",     "File",
                                                    "Line",     "Nickname", "Message"};

QString fromBytes(std::string_view text) {
    // Paths are UTF-8; the files' own bytes mostly ASCII, else shown one byte a character.
    const QString utf8 = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return utf8.contains(QChar::ReplacementCharacter)
               ? QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))
               : utf8;
}

} // namespace

void ProblemModel::setProblems(check::Problems problems) {
    beginResetModel();
    problems_ = std::move(problems);
    endResetModel();
}

int ProblemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(problems_.size());
}

int ProblemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ProblemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const check::Problem& problem = problems_.at(static_cast<std::size_t>(index.row()));
    switch (index.column()) {
    case kSeverity:
        return fromBytes(check::severityText(problem.severity));
    case kRule:
        return fromBytes(problem.rule);
    case kFile:
        return fromBytes(problem.file);
    case kLine:
        return problem.line;
    case kNickname:
        return fromBytes(problem.nickname);
    default:
        return fromBytes(problem.message);
    }
}

QVariant ProblemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns) {
        return {};
    }
    return QString::fromLatin1(kHeaders[static_cast<std::size_t>(section)]);
}

void ProblemFilter::setFilter(const QString& severity, const QString& rule) {
    severity_ = severity;
    rule_ = rule;
    invalidateFilter();
}

bool ProblemFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    const auto* model = sourceModel();
    auto cell = [&](int column) { return model->index(row, column, parent).data().toString(); };
    return (severity_.isEmpty() || cell(kSeverity) == severity_) &&
           (rule_.isEmpty() || cell(kRule) == rule_);
}

} // namespace skarvel
