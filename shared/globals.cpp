#include "shared/globals.h"

int g_intervalSeconds = kDefaultIntervalSeconds;
char g_droppedPath[kPathBufferSize];
char g_subtitlePath[kPathBufferSize];
char g_entryText[kEntryTextBufferSize];
