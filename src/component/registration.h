#pragma once

#include <agendia/status.h>

#include <string>

namespace agendia::component {

// The registration of Calender under a registry root (registry_files.h):
//
//   CLSID/{9743C9BA-...}     Class, ProgID, InprocServer32 (the library
//                            file), ThreadingModel=Apartment, TypeLib, Version
//   ProgID/AgendiaVB.Calender  Class, CLSID
//   TypeLib/{EE2600D7-...}   Name=AgendiaVB, Version=1.0, LCID=409, Path
//
// Writes the three records; `server_path` is the library's own file.
// SELFREG_E_CLASS, with the cause in the description, when one cannot be
// written.
Status RegisterCalender(const std::string& registry_root, const std::string& server_path);

// Removes the three records. The ProgID record stays when it names another
// class by now. Records already gone are no failure. SELFREG_E_CLASS when one
// cannot be removed.
Status UnregisterCalender(const std::string& registry_root);

}  // namespace agendia::component
