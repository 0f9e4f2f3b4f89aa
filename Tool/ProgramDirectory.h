// The directory of the running tool's executable, without a trailing
// separator; empty when the platform cannot tell.
#pragma once

#include <QString>

QString ProgramDirectory();
