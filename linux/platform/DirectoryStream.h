#pragma once

#include "base/UniqueHandle.h"

#include <dirent.h>

// A folder opened with opendir for reading its entries, closed with closedir when its owner goes.
using DirectoryStream = UniqueHandle<ReleasedBy<DIR*, closedir>>;
