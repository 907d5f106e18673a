// The resource of Vantrel.exe that holds the updater's complete file.
// Included by the resource script too, so only preprocessor lines here.
#pragma once
#define VANTREL_UPDATER_IMAGE 300
