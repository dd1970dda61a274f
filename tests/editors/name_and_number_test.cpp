#include "editor_session.h"
