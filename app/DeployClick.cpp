#include "app/Main.h"

#include "deploy/Deploy.h"

#include <QDir>

void Main::Command3_Click()
{
    deploy::deployToStartup(CheckPath(), QDir::toNativeSeparators(QDir::currentPath()),
                            {m_services.starter, m_services.prompter, m_services.shortcuts});
}
