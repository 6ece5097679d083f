#pragma once

class TForm1;
class TMainForm;
class TFormStat;
class TForm3;
class TLessonOptions;
class TFormFuxi;
class TAboutForm;
class TFormHelp;
class TFormThems;
class TFormProgress;
class TFormStrokes;

// The program's eleven windows, created once at start in this order and living until it ends. Only
// app/program.cpp holds this table, to connect the windows' signals; no window reaches another.
struct ProgramWindows {
    TForm1 *Form1 = nullptr;
    TMainForm *MainForm = nullptr;
    TFormStat *FormStat = nullptr;
    TForm3 *Form3 = nullptr;
    TLessonOptions *LessonOptions = nullptr;
    TFormFuxi *FormFuxi = nullptr;
    TAboutForm *AboutForm = nullptr;
    TFormHelp *FormHelp = nullptr;
    TFormThems *FormThems = nullptr;
    TFormProgress *FormProgress = nullptr;
    TFormStrokes *FormStrokes = nullptr;
};

// Writes the Russian interface texts into the controls of every window.
void ApplyUiTexts(const ProgramWindows &windows);
