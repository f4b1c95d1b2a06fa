// varkel-reader: reads the table of a logbook file and writes it to standard
// output as a table stream (ReaderStream.h). The program starts it for every
// logbook it opens, so that a damaged file can only take this process down.
//   varkel-reader [--seconds N] [--columnar] [--part K/N] FILE TABLE
// With --columnar, only the text columns are sent, each as its dictionary and
// one id per row (ColumnarStream.h).
// With --part, only the rows of that share of the table's data pages are sent
// (all rows are still read for the check that the table is complete).
// Exit status: 0 table sent, 1 table not readable (the reason is in the
// stream), 2 wrong arguments, 3 output closed.
#include "logbook/mdb/ReaderCommand.h"
#include "logbook/mdb/ReaderSelf.h"

int main(int argc, char **argv)
{
    const std::optional<mdbreader::ReaderCommand> command = mdbreader::parseReaderCommand(readerself::arguments(argc, argv));
    if (!command)
        return 2;
    readerself::confine(command->seconds);
    return mdbreader::runReaderCommand(*command, readerself::writeOut);
}
