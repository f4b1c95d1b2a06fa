#include "ListingExport.h"

#include "GridRecordset.h"
#include "ListingRun.h"

void exportListing(Prompter &prompter, const LogState &state, const GridRecordset &rows, const QString &folder, const QDate &date,
                   qsizetype maxRows)
{
    const QString title = QStringLiteral("VARKELchecker - Export");
    if (prompter.message(QStringLiteral("Export to Excel?"), MsgFlags::YesNoInformation, title) != MsgAnswer::Yes)
        return;
    const QString proposed = ListingRun::proposedExportPath(folder, state.LogName, state.AwardKind, date);
    const QString path = prompter.saveFile(title, QStringLiteral("Excel workbook (*.xlsx)"), proposed);
    if (path.isEmpty())
        return;
    QStringList fields;
    for (int c = 0; c < rows.columnCount(); ++c)
        fields << rows.fieldName(c);
    const qsizetype total = rows.rowCount();
    const Result<qsizetype> written = writeListingXlsx(
        path, fields, total, [&rows](qsizetype row, int column) { return rows.text(int(row), column); }, maxRows);
    if (!written) {
        prompter.message(written.error(), MsgFlags::Exclamation, title);
        return;
    }
    if (*written < total)
        prompter.message(QStringLiteral("Only %1 of the %2 rows were written: a spreadsheet sheet holds no more.").arg(*written).arg(total),
                         MsgFlags::Exclamation, title);
    if (!prompter.openDocument(path))
        prompter.message(ListingRun::notAvailableMessage(path), MsgFlags::OkOnly, QString());
}
