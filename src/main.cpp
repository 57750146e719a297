#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::fputs("Tavelor: the tray program is not built yet; this build holds the profiles "
               "store and its tests.\n",
               stderr);
    return 0;
}
