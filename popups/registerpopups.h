#pragma once
// Hands the framework the popups it opens but cannot know: the control
// manager's splash/about box and drag icon, and the progress popup of the
// text renderer. The application calls this once at start.

void RegisterFrameworkPopups();
