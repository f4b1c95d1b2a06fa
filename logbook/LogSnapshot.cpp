#include "logbook/LogSnapshot.h"

LogSnapshot::LogSnapshot(std::shared_ptr<const ColumnarLog> columnar, std::unique_ptr<LogDatabase> database)
    : m_columnar(std::move(columnar)), m_counter(m_columnar), m_database(std::move(database))
{
}
