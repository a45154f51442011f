// The settings record's one instance.
#include "user_settings.h"

SettingsRecord UserSettings;
