#include "store/Records.h"

TContactList ContactList;
TGroupList GroupList;
TCallList CallList;
