// Dialog templates built in files of their own.
#pragma once

#include "platform/resources.h"

DialogResource MidiControllersTemplate();
DialogResource PreferencesTemplate();
