// One function per operation of BTRCALL; each returns a status. Called with
// the registry's mutex held.
#pragma once

#include "operations/call_args.h"
#include "operations/registry.h"

namespace wbtrv {

int openOperation(Registry& registry, const CallArgs& args);
int closeOperation(Registry& registry, const CallArgs& args);
int stopOperation(Registry& registry, const CallArgs& args);
int transactionOperation(Registry& registry, const CallArgs& args);
int insertOperation(Registry& registry, const CallArgs& args);
int updateOperation(Registry& registry, const CallArgs& args);
int deleteOperation(Registry& registry, const CallArgs& args);
int getOperation(Registry& registry, const CallArgs& args);
int stepOperation(Registry& registry, const CallArgs& args);
int getPositionOperation(Registry& registry, const CallArgs& args);
int getDirectOperation(Registry& registry, const CallArgs& args);
int versionOperation(Registry& registry, const CallArgs& args);
int unlockOperation(Registry& registry, const CallArgs& args);
int createOperation(Registry& registry, const CallArgs& args);
int statOperation(Registry& registry, const CallArgs& args);
int extendedReadOperation(Registry& registry, const CallArgs& args);
int insertExtendedOperation(Registry& registry, const CallArgs& args);
int setOwnerOperation(Registry& registry, const CallArgs& args);
int clearOwnerOperation(Registry& registry, const CallArgs& args);
int createIndexOperation(Registry& registry, const CallArgs& args);
int dropIndexOperation(Registry& registry, const CallArgs& args);
int getByPercentageOperation(Registry& registry, const CallArgs& args);
int findPercentageOperation(Registry& registry, const CallArgs& args);
int setDirectoryOperation(Registry& registry, const CallArgs& args);
int getDirectoryOperation(Registry& registry, const CallArgs& args);

// The key a read follows: 6 for a key number the file has not, 41 for a key we
// cannot order, 21 for a key buffer shorter than the key.
int keyToRead(const Handle& handle, const CallArgs& args, const KeyDefinition*& key);
// Copies the record read into the caller's data buffer (22 when it does not
// fit) and makes it the block's current record; the key position is the caller's.
int deliverRecord(Handle& handle, const CallArgs& args, Record& row);

// Makes the record just written, held in the handle's scratch buffer, the
// block's current record along keyNumber (a key position only when keyed).
void placeCursor(Handle& handle, int keyNumber, std::int64_t id, bool keyed);

// Takes the lock the call's bias asks for on record id, before the record is
// handed out: 0 (also without a bias), 84 held elsewhere, 93 single and
// multiple locks mixed in one block, 46 a file that cannot be locked.
int lockRead(Handle& handle, const CallArgs& args, std::int64_t id);

}  // namespace wbtrv
