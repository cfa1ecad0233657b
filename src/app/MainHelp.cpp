#include "app/Main.h"

#include "app/AboutBox.h"
#include "app/Beallit.h"
#include "app/Launcher.h"

void Tfrm_Main::aBeallitExecute()
{
    ShowSettings();
}

void Tfrm_Main::aSugoExecute()
{
    Launch(helpIndexPath());
}

void Tfrm_Main::aHonlapExecute()
{
    Launch(homePageAddress());
}

void Tfrm_Main::aUjdonsagExecute()
{
    Launch(newsProgramPath());
}

void Tfrm_Main::aLevelExecute()
{
    Launch(mailAddress());
}

void Tfrm_Main::aLaporaExecute()
{
    ShowAbout();
}
