#include "transfertexts.h"
