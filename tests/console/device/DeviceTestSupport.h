#pragma once

// Shared set-up of the device-view and e-mail tests.

#include "../ConsoleTestDir.h"

#include <QtTest>

#include <memory>

using ConsoleDir = ConsoleTestDir;
