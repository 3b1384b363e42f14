#pragma once
// The version of the tool that made a report, as the project declares it: a
// report names what made it, so that its verdict can be traced.
namespace trelvo::engine::audit {

const char* AuditToolVersion();

}  // namespace trelvo::engine::audit
