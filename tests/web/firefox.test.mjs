// The page in Debian's Firefox ESR, through puppeteer-core over WebDriver BiDi.
import { firefox } from './drivers.mjs';
import { scenario } from './scenario.mjs';

scenario(firefox);
