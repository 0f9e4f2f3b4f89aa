// Which surfaces the fault hook has marked lost. Kept apart from the
// surfaces themselves so that a Reset of the hook can restore them all.
#pragma once

namespace dx {

bool IsMarkedLost(const void* surface);
// Forgets the mark (on Restore, and when the surface is freed, so that a new
// surface at the same address does not inherit it).
void ForgetLost(const void* surface);

}  // namespace dx
