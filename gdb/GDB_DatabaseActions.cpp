#include "gdb/GDB_DatabaseActions.h"

#include "gdb/GDB_Database.h"

namespace gdb {

void StartTransaction_t::Execute() { m_database->EndChanges(); }

void TrkInsert_t::Execute() { m_database->EraseTrack(m_key); }

void TrkErase_t::Execute() { m_database->InsertTrack(m_key, m_track); }

}  // namespace gdb
