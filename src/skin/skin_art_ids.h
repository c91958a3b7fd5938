// Resource ids of the skin's PNG artwork (resource type "PNG"), shared by the resource
// script resources/skin_art.rc and the code that draws the images.
#pragma once

#define IDP_SKIN_WINDOW_BACKGROUND 10001
#define IDP_SKIN_CLOSE_BUTTON 10002
#define IDP_SKIN_SHADOW_FRAME 10005
#define IDP_SKIN_LOGO 10006
#define IDP_SKIN_TEXT_BUTTON 10008
#define IDP_SKIN_PROGRESS_STREAK 10013

// The title pictures beside the logo, one per language (the language table's "image").
#define IDP_LANGUAGE_PICTURE_EN 10101
#define IDP_LANGUAGE_PICTURE_ZH_TW 10102
#define IDP_LANGUAGE_PICTURE_ZH_CN 10103
