<Generator_Name>
Another Menu Tool
</Generator_Name>
<Generator_Version>
3.2
</Generator_Version>
<Product_Name>
General Menu Structure Description Format
</Product_Name>
<Product_Version>
1.1
</Product_Version>
<Structure_Description>
0#$@Start#$@index.html#$@_self#$@x5#$@
1#$@Sub#$@
0#$@About#$@about.html#$@
0#$@Help
</Structure_Description>
