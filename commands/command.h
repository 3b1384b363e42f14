#pragma once
// The commands that the add-in's controls run, toolbar and ribbon alike.
namespace trelvo::commands {

enum class Command { Save, Insert, SelectRange, Options, Customer, Info };

}  // namespace trelvo::commands
