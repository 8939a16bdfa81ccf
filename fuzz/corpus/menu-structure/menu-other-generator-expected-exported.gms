<Generator_Name>
Quillamere
</Generator_Name>
<Generator_Version>
1.0
</Generator_Version>
<Product_Name>
General Menu Structure Description Format
</Product_Name>
<Product_Version>
1.0
</Product_Version>
<Structure_Description>
0#$@Start#$@index.html#$@_self#$@x5#$@
1#$@Sub#$@#$@#$@#$@
0#$@About#$@about.html#$@#$@#$@
0#$@#$@#$@#$@#$@
</Structure_Description>
