#pragma once
// Registers the project file type at every start. On Linux: a shared-mime-info package
// for application/x-quillamere-project (*.zorbel) and a desktop entry for the program in
// the user's XDG data home, refreshed only when a file changed. Never reports failures.

namespace qm {

void RegisterFileAssociation();

}  // namespace qm
