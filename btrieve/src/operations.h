// One function per operation of BTRCALL; each returns a status. Called with
// the engine's mutex held.
#pragma once

#include "call_args.h"
#include "engine.h"

namespace wbtrv {

int openOperation(Engine& engine, const CallArgs& args);
int closeOperation(Engine& engine, const CallArgs& args);
int stopOperation(Engine& engine, const CallArgs& args);
int insertOperation(Engine& engine, const CallArgs& args);
int updateOperation(Engine& engine, const CallArgs& args);
int deleteOperation(Engine& engine, const CallArgs& args);
int getOperation(Engine& engine, const CallArgs& args);
int createOperation(Engine& engine, const CallArgs& args);
int statOperation(Engine& engine, const CallArgs& args);

}  // namespace wbtrv
