#pragma once

// Puts the presentation tools where the rest of the program reaches them: the presentation
// driver learns where the template is and asks the save panel for a new deck's file name; the
// keypad mouse takes the teacher's mouse frames of every window and the speed of the settings page.
class PresentationTools
{
public:
    static void install();
};
