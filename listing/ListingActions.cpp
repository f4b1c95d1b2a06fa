#include "listing/ListingActions.h"

#include "listing/DrillDown.h"
#include "listing/QueryGuard.h"

namespace {
const QString CrLf = QStringLiteral("\r\n");
} // namespace

ListingActions::ListingActions(const LoadedLog &log, const StatsMatrix &matrix, Prompter &prompter, std::function<bool()> ft8,
                               OpenGrid openGrid)
    : m_log(log), m_matrix(matrix), m_prompter(prompter), m_ft8(std::move(ft8)), m_openGrid(std::move(openGrid))
{
}

void ListingActions::open(ListingRequest request)
{
    request.kind = m_matrix.kind();
    m_openGrid(request);
}

void ListingActions::cellDoubleClicked(int index)
{
    m_prompter.beep();
    if (!m_log.hasLog())
        return;
    const std::optional<AwardKind> kind = m_matrix.kind();
    const DrillDown::Request q = DrillDown::cell(index, kind, m_matrix.headers(), m_ft8());
    if (q.outcome == DrillDown::Outcome::NotConfirmedNotice) {
        m_prompter.message(QStringLiteral("CLICK on VARKEL on STATS"), MsgFlags::Information, QStringLiteral("VARKELCHECKER"));
        return;
    }
    if (q.outcome == DrillDown::Outcome::Listing)
        open({q.sql, !DrillDown::listsContacts(kind), {}, CountSlotIndex::header(CountSlotIndex::bandOfCell(index))});
}

void ListingActions::mixDoubleClicked(int r)
{
    if (!m_log.hasLog())
        return;
    const std::optional<AwardKind> kind = m_matrix.kind();
    const DrillDown::Request q = DrillDown::mix(r, kind, m_matrix.headers(), m_ft8());
    if (q.outcome == DrillDown::Outcome::Listing)
        open({q.sql, !DrillDown::listsContacts(kind)});
}

void ListingActions::fullClicked(int r)
{
    if (!m_log.hasLog())
        return;
    const DrillDown::Request q = DrillDown::full(r, m_matrix.kind(), m_ft8());
    if (q.outcome == DrillDown::Outcome::Listing)
        open({q.sql, true});
}

void ListingActions::matrixCellDoubleClicked(AwardKind kind, const QString &entity, const QString &band, ModeClass mode, bool ft8)
{
    if (!m_log.hasLog())
        return;
    const DrillDown::Request q = DrillDown::matrixCell(kind, entity, band, mode, ft8);
    if (q.outcome == DrillDown::Outcome::Listing)
        m_openGrid({q.sql, false, kind}); // the matrix's kind, which the export names its file after
}

void ListingActions::customQuery()
{
    const QString title = QStringLiteral("VarkelChecker QUERY");
    const QString text = m_prompter.input(QStringLiteral("ENTER QUERY:") + CrLf + CrLf + QStringLiteral("SELECT * FROM LOG...") + CrLf +
                                              QStringLiteral("LOCAL Query"),
                                          title, m_lastQuery);
    if (!text.isEmpty())
        m_lastQuery = text;
    if (text.isEmpty() || text.trimmed().toUpper() == QLatin1String("SELECT"))
        return;
    QString refused = QueryGuard::refusal(text);
    if (refused.isEmpty() && m_check)
        refused = m_check(text);
    if (!refused.isEmpty()) {
        m_prompter.message(refused, MsgFlags::Exclamation, title);
        return;
    }
    m_prompter.message(QStringLiteral("To wait for a moment, is creating your list with your Query:") + CrLf + CrLf + text + CrLf + CrLf +
                           QStringLiteral("The logbook is only read: no query can change it."),
                       MsgFlags::Information, QStringLiteral("VARKEL - VarkelChecker grid"));
    open({text, false});
}
