#pragma once

// Puts the presentation tools where the rest of the program reaches them: the presentation
// driver learns where the template is, asks the save panel for a new deck's file name and shows
// the progress window while an old .ppt is converted; the
// keypad mouse takes the teacher's mouse frames of every window and the speed of the settings page.
class PresentationTools
{
public:
    static void install();
};
