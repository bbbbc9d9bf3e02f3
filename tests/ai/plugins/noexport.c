/* A library that loads but has no bot entry point. */
int notTheEntry(void)
{
    return 0;
}
