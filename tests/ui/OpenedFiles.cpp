// Gives the catcher of opened files its meta-object.
#include "OpenedFiles.h"
