// Resource and control ids of the setting pages (fixed numbers of the program).
#pragma once
